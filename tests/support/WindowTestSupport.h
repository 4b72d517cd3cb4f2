#pragma once

#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "ui/AppServices.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace thermo4::ui::test {

/// Points the window services at a test's clock, meter transport, serial port and prompts,
/// with the program folder, data folder and settings file inside dir.
inline void UseTestServices(AppServices& services, link::Clock& clock, link::UsbTransport& usb,
                            link::SerialPort& serial, Prompts& prompts, const QTemporaryDir& dir) {
    services.clock = &clock;
    services.usb = &usb;
    services.serialPort = &serial;
    services.prompts = &prompts;
    services.paths = Paths(dir.filePath(QStringLiteral("bin")), dir.filePath(QStringLiteral("data")));
    services.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
}

/// Writes the built-in look with a Y range of yMin..yMax (°, every channel), changed
/// further by change when given, as the graph template of paths' data folder.
inline bool WriteGraphTemplate(const Paths& paths, float yMax, float yMin,
                               const std::function<void(chart::Graph1&)>& change = {}) {
    const QString file = paths.templateFile();
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    chart::Graph1 look;
    ApplyDefaultLook(look, chart::kGraphChannels, yMax, yMin);
    if (change)
        change(look);
    return chart::StoreGraphState(look, file);
}

/// The child of parent named name (a window's widget or action); fails the test when there is none.
template <typename T> T* Child(const QObject& parent, const char* name) {
    T* found = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << "no " << name;
    return found;
}

} // namespace thermo4::ui::test
