#pragma once

#include "app/TfrmMain.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "core/TDateTime.h"
#include "graph/TfrmGraph.h"
#include "graph/TfrmSetupRealTime.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowTestAccess.h"
#include "support/WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

/// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace thermo4::ui::test {

/// Bound on waiting for the journal writer: the build machine is shared and loaded.
inline constexpr int kWriteWaitMs = 30000;
/// The question on closing a real-time graph that holds unsaved samples.
inline const QString kSaveRealTime = QStringLiteral("Save Real-Time Graph ?");

inline constexpr double kSecond = 1.0 / core::kSecondsPerDay;

/// The main window with the virtual meter on a manual clock, scripted prompts and
/// folders of its own. The poll runs only when a test ticks it.
class GraphRig : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_meter = std::make_unique<sim::VirtualMeter>(m_clock);
        m_usb = std::make_unique<sim::SimUsbTransport>(*m_meter);
        UseTestServices(m_services, m_clock, *m_usb, m_serial, m_prompts, m_dir);
        for (int k = 0; k < 4; ++k)
            m_meter->setFixedCelsius(k, 20.0 + k);
    }

    void TearDown() override {
        m_window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(m_prompts.unanswered(), 0);
    }

    /// Writes the shipped look (or another) as the graph template.
    void writeTemplate(const std::function<void(chart::Graph1&)>& change = {}) {
        ASSERT_TRUE(WriteGraphTemplate(m_services.paths, 100.0f, -20.0f, change));
    }

    /// Shows the main window (which opens the real-time graph) with the poll stopped.
    TfrmMain& open() {
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->resize(1600, 1000);
        m_window->show();
        m_window->session().stopPolling();
        return *m_window;
    }

    TfrmMain& openConnected() {
        TfrmMain& w = open();
        tick();
        EXPECT_TRUE(w.session().connected());
        return w;
    }

    session::RecordingState& recording() { return m_window->session().recording(); }
    GraphShared& shared() { return m_window->graphShared(); }
    LoggerData& logger() { return m_window->loggerData(); }
    TfrmGraph* realTimeWindow() const { return TfrmGraph::realTimeWindow(*m_window); }
    TfrmGraph* loggerWindow() const { return TfrmGraph::dataLoggerWindow(*m_window); }
    TfrmGraph& realTime() { return *realTimeWindow(); }
    chart::Graph1& realTimeChart() { return *widgets(*realTimeWindow()).Graph1; }
    /// Samples in the real-time graph (0 without one).
    int sampleCount() const { return realTimeWindow() ? realTimeWindow()->sampleCount() : 0; }
    /// Whether a main-window control (tool button or menu action) is enabled.
    bool enabled(const char* name) const {
        if (auto* button = m_window->findChild<QToolButton*>(QLatin1String(name)))
            return button->isEnabled();
        auto* action = m_window->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(action, nullptr) << name;
        return action && action->isEnabled();
    }
    double now() const { return core::TDateTimeFromDateTime(m_clock.now()); }

    /// Poll ticks as MainTimer runs them, 500 ms apart.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            m_window->MainTimerTimer();
            m_clock.advance(TfrmMain::kTimerIntervalMs);
        }
    }

    /// Ticks until the recording has taken `samples` samples or stopped; at most `limit` ticks.
    void tickUntilSamples(int samples, int limit = 400) {
        for (int i = 0; i < limit && recording().recording() && sampleCount() < samples; ++i)
            tick();
    }

    /// Runs btnRunClick; the set-up dialog, if it opens, is filled by `fill` and then
    /// started or cancelled. Returns how many set-up dialogs opened.
    int run(const std::function<void(TfrmSetupRealTime&)>& fill = {}, bool start = true) {
        int opened = 0;
        QTimer finder;
        finder.setInterval(0);
        QObject::connect(&finder, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<TfrmSetupRealTime*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                ++opened;
                finder.stop();
                if (fill)
                    fill(*dialog);
                start ? dialog->accept() : dialog->reject();
                return;
            }
        });
        finder.start();
        m_window->btnRunClick();
        finder.stop();
        return opened;
    }

    /// Run with a sample count (as typed) at the dialog's rate.
    int runFor(const QString& count) {
        return run([count](TfrmSetupRealTime& d) { widgets(d).edtRealTimeNo->setText(count); });
    }

    /// Saves a picture of the main window as <name>.png into $THERMO4_SHOT_DIR when it is set,
    /// to look at by eye.
    void saveShot(const QString& name) {
        const QString dir = qEnvironmentVariable("THERMO4_SHOT_DIR");
        if (dir.isEmpty() || !m_window)
            return;
        QCoreApplication::processEvents();
        m_window->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    std::unique_ptr<sim::VirtualMeter> m_meter;
    std::unique_ptr<sim::SimUsbTransport> m_usb;
    sim::SimSerialPort m_serial{m_clock};
    ScriptedPrompts m_prompts;
    AppServices m_services;
    std::unique_ptr<TfrmMain> m_window;
};

} // namespace thermo4::ui::test
