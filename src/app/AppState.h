#pragma once

#include "ui/Paths.h"
#include "core/DataSet.h"
#include "core/MeterStatus.h"
#include "link/LinkGuard.h"
#include "link/LinkState.h"
#include "link/UsbMeterLink.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <array>
#include <cstdint>
#include <functional>

namespace thermo4::link {
class Clock;
class UsbTransport;
} // namespace thermo4::link

namespace thermo4::ui {

class Prompts;
class TfrmAbout;
class TfrmGraph;
class TfrmPanel;
class TfrmSetup;

/// What the windows need from outside: the clock, the USB meter (real or
/// virtual), the prompts, the paths, where the settings live, and how a file
/// is opened with the desktop's default handler. main() fills it; tests fill it
/// with a manual clock, the virtual meter and scripted prompts. Pointers are not owned.
struct AppServices {
    link::Clock* clock = nullptr;
    link::UsbTransport* usb = nullptr;
    Prompts* prompts = nullptr;
    Paths paths;
    /// An INI file for the two persisted settings; empty: the user's native
    /// settings store under the organisation "470913".
    QString settingsFile;
    /// Opens a local file or URL with the desktop's default handler; empty: QDesktopServices.
    std::function<bool(const QUrl&)> openUrl;
    /// Ends the event loop (File > Exit); empty: QCoreApplication::exit(0).
    std::function<void()> exitLoop;
    /// A one-time message from the USB link for the user (e.g. no permission on
    /// the device node, with the fix); empty when there is nothing new.
    std::function<QString()> takeLinkNotice;
};

/// Large and small LCD glyph bitmaps, index 0..24.
using GlyphSet = std::array<QPixmap, core::kGlyphCount>;

/// The process-wide state of the program, created with the main window and
/// alive until it ends. Only the user-interface thread touches it. Child windows
/// clear their own reference when they close (QPointer does it when they are destroyed).
struct AppState {
    AppServices services;

    // Child windows.
    QPointer<TfrmPanel> panelWindow;
    /// The graph window captioned "Real-Time Graph".
    QPointer<TfrmGraph> realTimeGraph;
    /// The graph window captioned "DataLogger".
    QPointer<TfrmGraph> loggerGraph;
    /// The about box while it exists (splash, Help > About, search progress).
    QPointer<TfrmAbout> aboutBox;
    QPointer<TfrmSetup> setupDialog;

    // Connection: connected, usbLink, serialLink, lostFrames, lostFrameLimit,
    // pollBusy, usbVendorId, usbProductId, usbFrame, usbSequence, serialFrame,
    // reply, secondTicks, lastSecond and meterStatus live in link.
    link::LinkState link;
    /// Keeps panel keys, the setup dialog and the poll off the link while a
    /// transaction that processes window messages (a download) holds it.
    link::LinkGuard linkGuard;
    /// A blink tick is running; closing the panel waits until it is clear.
    bool blinkBusy = false;
    /// The serial device chosen in the tool bar's device list (e.g. "/dev/rfcomm0").
    QString serialDeviceName;
    /// Byte count last taken from the serial input queue.
    int serialByteCount = 0;
    /// Index in the device list of the port the Bluetooth search found.
    int foundPortIndex = 0;

    // Recording and graphs.
    bool recording = false;
    /// Seconds between real-time samples; persisted as "RealTimeRate".
    int realTimeRate = 2;
    int sampleCount = 0;
    /// Days by which the real-time graph's time axis grows when a sample falls
    /// past its end; 10 s (single-precision) from the main window's first showing.
    double samplePeriod = 0.0;
    float spanFactor = 1.0f;
    bool realTimeUnsaved = false;
    bool loggerUnsaved = false;
    bool downloadBusy = false;
    /// The data sets of the last successful logger load (download or collection
    /// file); a failed load leaves them as they were.
    core::DataSetCollection dataSets;
    /// Colour of graph annotations (0x00BBGGRR); persisted as "AnnoColor".
    int annoColor = 0;
    /// Index of the last user mark in the graphs; the next mark takes the next index
    /// (the first gets 4; index 2 is the data-point label). Shared by all graph windows.
    int annotationCount = 3;
    /// What a click on a graph does: -99 nothing, 0 a text mark, 2 a cross. Shared by all graph windows.
    int clickTool = -99;

    // Live display.
    /// Toggled by every blink tick.
    bool blinkPhase = false;
    /// Loaded from the resources ":/glyphs/LCD0" .. ":/glyphs/LCD24".
    GlyphSet lcdGlyphs;
    /// Loaded from ":/glyphs/LCDS0" .. ":/glyphs/LCDS24".
    GlyphSet lcdSmallGlyphs;
    /// Large-glyph index last drawn per channel and digit; 255: nothing drawn yet.
    std::array<std::array<std::uint8_t, 4>, 4> shownGlyph = [] {
        std::array<std::array<std::uint8_t, 4>, 4> cache{};
        for (auto& row : cache)
            row.fill(255);
        return cache;
    }();

    core::MeterStatus& meterStatus() { return link.meterStatus; }
};

} // namespace thermo4::ui
