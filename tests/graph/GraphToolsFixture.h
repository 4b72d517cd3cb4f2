#pragma once

#include "GraphRig.h"
#include "support/WindowTestAccess.h"

#include <QCheckBox>

#include <array>
#include <functional>

namespace thermo4::ui::test {

/// 2024-03-01 12:00:00 in days since 1899-12-30.
inline constexpr double kT0 = 45352.5;

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

/// The graph windows with their reading and appearance tools; the data folder has its
/// "template" folder (but no template) unless a test removes it.
class GraphToolsTest : public GraphRig {
protected:
    void SetUp() override {
        GraphRig::SetUp();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(m_services.paths.templateFile()).absolutePath()));
    }

    /// Closes the main window as the user does (the settings are written) and forgets it.
    void closeMain() {
        m_window->close();
        m_window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TfrmGraph& realTimeGraph() {
        if (!m_window)
            open();
        TfrmGraph* graph = realTimeWindow();
        EXPECT_NE(graph, nullptr);
        return settled(*graph);
    }

    /// Readings T1..T4 of sample i of a data set.
    using Sample = std::function<std::array<float, 4>(int i)>;

    /// The data-logger window showing a data set of 20 samples a minute apart from kT0; by
    /// default T1 rises from 20 °C, T2 from −5 °C, T3 has no reading, T4 falls from 100 °C.
    TfrmGraph& dataSetGraph(const Sample& sample = [](int i) {
        return std::array<float, 4>{20.0f + i, -5.0f + i * 0.5f, 9999.0f, 100.0f - i};
    }) {
        if (!m_window)
            open();
        constexpr int n = 20;
        std::vector<float> values;
        std::vector<double> times;
        for (int i = 0; i < n; ++i) {
            for (float v : sample(i)) {
                values.push_back(v);
                times.push_back(kT0 + i * 60 * kSecond);
            }
        }
        core::DataSet set;
        set.startTime = kT0;
        set.intervalSeconds = 60;
        set.pointCount = n;
        set.celsius = true;
        logger().dataSets = core::DataSetCollection({set}, std::move(values), std::move(times));
        auto* graph = new TfrmGraph(*m_window, QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
        m_window->addChild(graph);
        graph->place(0, 0, 1400, 900);
        graph->ShowDataSet(0);
        return settled(*graph);
    }

    /// Clears "Split", so that the cross and text tools can be used.
    static void singleView(TfrmGraph& graph) {
        widgets(graph).chkSplit->click();
        settled(graph);
    }

    /// Lays the window out and draws it, so that pixel positions are real.
    static TfrmGraph& settled(TfrmGraph& graph) {
        QCoreApplication::processEvents();
        widgets(graph).Graph1->redraw();
        widgets(graph).Graph1->plot()->replot();
        return graph;
    }

    static QRect axis0Area(const TfrmGraph& graph) { return widgets(graph).Graph1->axisRect(0)->rect(); }
};

} // namespace thermo4::ui::test
