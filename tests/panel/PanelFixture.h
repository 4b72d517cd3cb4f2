#pragma once

#include "app/TfrmMain.h"
#include "panel/GlyphCache.h"
#include "panel/TfrmPanel.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/MeterSessionTestAccess.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowTestAccess.h"
#include "support/WindowTestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace thermo4::ui {

/// The virtual meter's USB transport, counting every open and read attempt (failed ones too).
class CountingTransport : public sim::SimUsbTransport {
public:
    using SimUsbTransport::SimUsbTransport;
    int opens = 0;
    int reads = 0;
    int open(std::uint16_t vendorId, std::uint16_t productId) override {
        ++opens;
        return SimUsbTransport::open(vendorId, productId);
    }
    int read(std::span<std::uint8_t> reply) override {
        ++reads;
        return SimUsbTransport::read(reply);
    }
};

/// The main window offscreen with the virtual meter on USB and a manual clock. Its
/// timers are stopped: a test runs the poll and blink ticks itself.
class PanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        AppServices services;
        test::UseTestServices(services, m_clock, m_usb, m_serial, m_prompts, m_dir);
        services.openUrl = [](const QUrl&) { return true; };
        m_window = std::make_unique<TfrmMain>(services);
        m_window->resize(1600, 1000); // room for the panel at its design size
        m_window->show();
        stopTimers();
        ASSERT_TRUE(window().panelWindow());
    }
    void TearDown() override {
        m_window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TfrmMain& window() { return *m_window; }
    session::MeterSession& session() { return m_window->session(); }
    link::LinkState& linkState() { return session::MeterSessionTestAccess::linkState(session()); }
    TfrmPanel& panel() { return *window().panelWindow(); }
    QTimer* mainTimer() { return session::MeterSessionTestAccess::pollTimer(session()); }
    void stopTimers() {
        session().stopPolling();
        test::Child<QTimer>(*m_window, "MaxMinTimer")->stop();
    }
    /// One poll tick, then the 500 ms to the next.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            m_window->MainTimerTimer();
            m_clock.advance(TfrmMain::kTimerIntervalMs);
        }
    }
    /// Identifies the meter, then reads and draws its first frame.
    void connectAndRefresh() {
        tick();
        ASSERT_TRUE(session().connected());
        tick();
    }

    /// Index of the glyph a glyph element shows, -1 when it shows none.
    static int glyphIn(const QLabel* element, const GlyphSet& glyphs) {
        const QPixmap shown = element->pixmap();
        for (std::size_t i = 0; i < glyphs.size() && !shown.isNull(); ++i) {
            if (glyphs[i].cacheKey() == shown.cacheKey())
                return static_cast<int>(i);
        }
        return -1;
    }
    /// Large-glyph indices shown in one channel's row, left to right.
    std::array<int, 4> rowGlyphs(std::size_t channel) {
        std::array<int, 4> row{};
        for (std::size_t d = 0; d < 4; ++d)
            row[d] = glyphIn(widgets(panel()).digitImages[channel][d], LargeLcdGlyphs());
        return row;
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    sim::VirtualMeter m_meter{m_clock};
    CountingTransport m_usb{m_meter};
    sim::SimSerialPort m_serial{m_clock};
    ScriptedPrompts m_prompts;
    std::unique_ptr<TfrmMain> m_window;
};

} // namespace thermo4::ui
