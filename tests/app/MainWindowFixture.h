#pragma once

#include "app/CommandLine.h"
#include "app/TfrmAbout.h"
#include "app/TfrmMain.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "graph/TfrmGraph.h"
#include "logger/TfrmList.h"
#include "panel/GlyphCache.h"
#include "panel/TfrmPanel.h"
#include "setup/TfrmSetup.h"
#include "sim/LiveFrameEncoder.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace thermo4::ui::test {

/// A child window that refuses to close, as a graph with unsaved data does on Cancel.
class VetoChild : public MdiChild {
public:
    explicit VetoChild(MainFrame& frame) : MdiChild(frame) { setWindowTitle(QStringLiteral("Veto")); }
    bool FormCloseQuery() override {
        ++asked;
        return allow;
    }
    bool allow = false;
    int asked = 0;
};

/// Enabling of the connection-dependent controls and the status text.
struct Controls {
    bool btnRun;
    bool Run1;
    bool btnStop;
    bool Stop1;
    bool btnDataLogger;
    bool DataLogger1;
    QString status;
    bool operator==(const Controls&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Controls& c) {
    return out << "btnRun " << c.btnRun << " Run " << c.Run1 << " btnStop " << c.btnStop << " Stop "
               << c.Stop1 << " btnDataLogger " << c.btnDataLogger << " DataLogger " << c.DataLogger1 << " '"
               << c.status.toStdString() << "'";
}

inline void processDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_meter = std::make_unique<sim::VirtualMeter>(m_clock);
        m_usb = std::make_unique<sim::SimUsbTransport>(*m_meter);
        UseTestServices(m_services, m_clock, *m_usb, m_serial, m_prompts, m_dir);
        // An install has its graph template; without it every graph window reports it missing.
        ASSERT_TRUE(WriteGraphTemplate(m_services.paths, 50.0f, -10.0f));
        m_services.exitLoop = [this] { ++m_exitLoops; };
        m_services.openUrl = [this](const QUrl& url) {
            m_opened.append(url);
            return true;
        };
    }

    void TearDown() override {
        m_window.reset();
        processDeferredDeletes();
        EXPECT_EQ(m_prompts.unanswered(), 0);
    }

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("settings.ini")); }

    static int sampleCount(const TfrmMain& w) {
        const TfrmGraph* graph = TfrmGraph::realTimeWindow(w);
        return graph ? graph->sampleCount() : 0;
    }
    static QAction* action(const TfrmMain& w, const char* name) { return Child<QAction>(w, name); }
    static QMenu* menu(const TfrmMain& w, const char* name) { return Child<QMenu>(w, name); }
    static QToolButton* button(const TfrmMain& w, const char* name) { return Child<QToolButton>(w, name); }

    TfrmMain& open(bool show = true) {
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->resize(1600, 1000);
        if (show)
            m_window->show();
        return *m_window;
    }

    /// One poll tick as MainTimer runs it, then the 500 ms to the next.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            m_window->MainTimerTimer();
            m_clock.advance(TfrmMain::kTimerIntervalMs);
        }
    }

    void connectMeter() {
        tick();
        ASSERT_TRUE(m_window->session().connected());
    }

    Controls controls() const {
        const TfrmMain& w = *m_window;
        return {button(w, "btnRun")->isEnabled(),
                action(w, "Run1")->isEnabled(),
                button(w, "btnStop")->isEnabled(),
                action(w, "Stop1")->isEnabled(),
                button(w, "btnDataLogger")->isEnabled(),
                menu(w, "DataLogger1")->menuAction()->isEnabled(),
                w.statusText(1)};
    }

    /// What a channel's row of panel digits reads, e.g. "25.3" (blank digits left out).
    QString panelReading(int channel) const {
        const TfrmPanel& panel = *m_window->panelWindow();
        const std::array<const QLabel*, 4> points{panel.T1_P, panel.T2_P, panel.T3_P, panel.T4_P};
        const auto ch = static_cast<std::size_t>(channel);
        QString text;
        for (std::size_t d = 0; d < 4; ++d) {
            const QPixmap shown = panel.digitImages[ch][d]->pixmap();
            for (std::size_t g = 0; g < 10; ++g) {
                if (!shown.isNull() && LargeLcdGlyphs()[g].cacheKey() == shown.cacheKey())
                    text += QChar(u'0' + static_cast<char16_t>(g));
            }
            if (d == 2 && !points[ch]->isHidden())
                text += QLocale().decimalPoint();
        }
        return text;
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    std::unique_ptr<sim::VirtualMeter> m_meter;
    std::unique_ptr<sim::SimUsbTransport> m_usb;
    sim::SimSerialPort m_serial{m_clock};
    ScriptedPrompts m_prompts;
    AppServices m_services;
    QList<QUrl> m_opened;
    int m_exitLoops = 0;
    std::unique_ptr<TfrmMain> m_window;
};

} // namespace thermo4::ui::test
