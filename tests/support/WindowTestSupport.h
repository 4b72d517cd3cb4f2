#pragma once

#include "app/AppState.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace thermo4::ui::test {

/// Points the window services at a test's clock, meter transport and prompts, with the
/// program folder, data folder and settings file inside dir.
inline void UseTestServices(AppServices& services, link::Clock& clock, link::UsbTransport& usb,
                            Prompts& prompts, const QTemporaryDir& dir) {
    services.clock = &clock;
    services.usb = &usb;
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

} // namespace thermo4::ui::test
