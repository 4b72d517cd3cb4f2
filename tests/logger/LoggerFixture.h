#pragma once

#include "app/TfrmMain.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "files/TfrmOpenSave.h"
#include "graph/TfrmGraph.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/MeterSessionTestAccess.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowTestAccess.h"
#include "support/WindowTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace thermo4::ui::test {

const QDateTime kStart(QDate(2024, 3, 9), QTime(14, 5, 30));

/// A data set of `points` samples; T1..T4 of sample k are base + k, + 10, + 20, + 30 tenths of °F.
inline sim::LoggedDataSet MakeSet(int intervalSeconds, bool celsius, int points, std::int16_t base = 700) {
    sim::LoggedDataSet set{kStart.addSecs(base), intervalSeconds, celsius, 1, {5, 0, -9, 18}, {}};
    for (int k = 0; k < points; ++k) {
        const auto v = static_cast<std::int16_t>(base + k);
        set.samples.push_back({v, std::int16_t(v + 10), std::int16_t(v + 20), std::int16_t(v + 30)});
    }
    return set;
}

/// The main window offscreen with the virtual meter on a manual clock, scripted
/// prompts, and a data folder (with a graph template) in a temporary directory.
class LoggerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_services = {};
        UseTestServices(m_services, m_clock, m_usb, m_serial, m_prompts, m_dir);
        ASSERT_TRUE(WriteGraphTemplate(m_services.paths, 100.0f, -20.0f));
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->resize(1600, 1000);
        m_window->show();
    }
    void TearDown() override {
        m_window.reset();
        EXPECT_EQ(m_prompts.unanswered(), 0);
        EXPECT_EQ(m_prompts.pending(), 0);
    }

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    QString tempFile() const { return m_services.paths.tempFile(); }
    session::MeterSession& session() { return m_window->session(); }
    LoggerData& logger() { return m_window->loggerData(); }
    TfrmGraph* loggerWindow() const { return TfrmGraph::dataLoggerWindow(*m_window); }
    TfrmGraph* realTimeWindow() const { return TfrmGraph::realTimeWindow(*m_window); }
    QTimer* mainTimer() { return session::MeterSessionTestAccess::pollTimer(session()); }

    void connectMeter() {
        for (int i = 0; i < 10 && !session().connected(); ++i) {
            m_window->MainTimerTimer();
            m_clock.advance(TfrmMain::kTimerIntervalMs);
        }
        ASSERT_TRUE(session().connected());
    }
    void setMemory(const std::vector<sim::LoggedDataSet>& sets) {
        m_meter.memory() = {};
        for (const auto& set : sets)
            ASSERT_TRUE(m_meter.memory().append(set));
    }
    /// Connects, then runs the Data Logger command.
    void download() {
        connectMeter();
        m_meter.clearReceived();
        m_window->LoadData1Click();
    }
    void activate(MdiChild* child) { m_window->activateChild(child); }

    QList<QStringList> loggerTable() const {
        QList<QStringList> rows;
        const QTableWidget* grid = loggerWindow() ? widgets(*loggerWindow()).Grid2 : nullptr;
        for (int r = 0; grid && r < grid->rowCount(); ++r) {
            rows.append(QStringList());
            for (int c = 0; c < grid->columnCount(); ++c)
                rows.last() << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
        }
        return rows;
    }
    static QByteArray fileBytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList messages() const {
        return m_prompts.texts(ScriptedPrompts::Kind::Information) +
               m_prompts.texts(ScriptedPrompts::Kind::Error);
    }

    /// Answers the next choice dialog with one of its buttons once it runs modally.
    void answerChoice(TfrmOpenSave::Choice choice) {
        QTimer::singleShot(0, m_window.get(), [this, choice] {
            auto* dialog = qobject_cast<TfrmOpenSave*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_choiceCaptions << dialog->windowTitle();
            (choice == TfrmOpenSave::Choice::Collection   ? widgets(*dialog).btnOpenSets
             : choice == TfrmOpenSave::Choice::SingleFile ? widgets(*dialog).btnOpenSingleSet
                                                          : widgets(*dialog).Button1)
                ->click();
        });
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    sim::VirtualMeter m_meter{m_clock};
    sim::SimUsbTransport m_usb{m_meter};
    sim::SimSerialPort m_serial{m_clock};
    ScriptedPrompts m_prompts;
    AppServices m_services;
    std::unique_ptr<TfrmMain> m_window;
    QStringList m_choiceCaptions;
};

} // namespace thermo4::ui::test
