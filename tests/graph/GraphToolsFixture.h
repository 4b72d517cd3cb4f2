#pragma once

#include "app/ScriptedPrompts.h"
#include "app/TfrmMain.h"
#include "chart/Graph1.h"
#include "graph/GraphAppearance.h"
#include "graph/GraphTools.h"
#include "graph/TfrmGraph.h"
#include "link/ManualClock.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace thermo4::ui::test {

/// 2024-03-01 12:00:00 in days since 1899-12-30, and one second in days.
inline constexpr double kT0 = 45352.5;
inline constexpr double kSecond = 1.0 / 86400.0;

/// Acts on the next modal dialog of type D once its event loop runs. Scoped, so a dialog that
/// never opens leaves nothing pending for a later test.
template <class D> class OnModal {
public:
    explicit OnModal(std::function<void(D&)> act) : m_act(std::move(act)) {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                ++m_opened;
                m_act(*dialog);
            }
        });
        m_timer.start();
    }
    int opened() const { return m_opened; }

private:
    std::function<void(D&)> m_act;
    QTimer m_timer;
    int m_opened = 0;
};

/// The main window with the virtual meter, scripted prompts and its own data folder; the
/// real-time graph opens when it is shown. The template folder exists unless a test removes it.
class GraphToolsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_meter = std::make_unique<sim::VirtualMeter>(m_clock);
        m_usb = std::make_unique<sim::SimUsbTransport>(*m_meter);
        m_services.clock = &m_clock;
        m_services.usb = m_usb.get();
        m_services.prompts = &m_prompts;
        m_services.paths = Paths(m_dir.filePath(QStringLiteral("bin")), m_dir.filePath(QStringLiteral("data")));
        m_services.settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("data/template"))));
    }

    void TearDown() override {
        m_main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(m_prompts.unanswered(), 0);
    }

    TfrmMain& openMain() {
        m_main = std::make_unique<TfrmMain>(m_services);
        m_main->resize(1600, 1000);
        m_main->show();
        return *m_main;
    }

    /// Closes the main window as the user does (the settings are written) and forgets it.
    void closeMain() {
        m_main->close();
        m_main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TfrmGraph& realTimeGraph() {
        if (!m_main)
            openMain();
        TfrmGraph* graph = m_main->state().realTimeGraph;
        EXPECT_NE(graph, nullptr);
        return settled(*graph);
    }

    /// The data-logger window showing a data set of 20 samples a minute apart from kT0:
    /// T1 rises from 20 °C, T2 from −5 °C, T3 has no reading, T4 falls from 100 °C.
    TfrmGraph& dataSetGraph() {
        if (!m_main)
            openMain();
        constexpr int n = 20;
        std::vector<float> values;
        std::vector<double> times;
        for (int i = 0; i < n; ++i) {
            for (float v : {20.0f + i, -5.0f + i * 0.5f, 9999.0f, 100.0f - i}) {
                values.push_back(v);
                times.push_back(kT0 + i * 60 * kSecond);
            }
        }
        core::DataSet set;
        set.startTime = kT0;
        set.intervalSeconds = 60;
        set.pointCount = n;
        set.celsius = true;
        m_main->state().dataSets = core::DataSetCollection({set}, std::move(values), std::move(times));
        auto* graph = new TfrmGraph(*m_main, QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
        m_main->addChild(graph);
        m_main->state().loggerGraph = graph;
        graph->ShowDataSet(0);
        return settled(*graph);
    }

    /// Clears "Split", so that the cross and text tools can be used.
    static void singleView(TfrmGraph& graph) {
        graph.chkSplit->click();
        settled(graph);
    }

    /// Lays the window out and draws it, so that pixel positions are real.
    static TfrmGraph& settled(TfrmGraph& graph) {
        if (!graph.findChild<GraphTools*>())
            new GraphTools(graph);
        if (!graph.findChild<GraphAppearance*>())
            new GraphAppearance(graph);
        QCoreApplication::processEvents();
        graph.Graph1->redraw();
        graph.Graph1->plot()->replot();
        return graph;
    }

    static QRect axis0Area(const TfrmGraph& graph) { return graph.Graph1->axisRect(0)->rect(); }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    std::unique_ptr<sim::VirtualMeter> m_meter;
    std::unique_ptr<sim::SimUsbTransport> m_usb;
    ScriptedPrompts m_prompts;
    AppServices m_services;
    std::unique_ptr<TfrmMain> m_main;
};

} // namespace thermo4::ui::test
