#include "GraphToolsFixture.h"

#include "chart/CustomizeDialog.h"
#include "graph/GraphAppearance.h"
#include "graph/GraphMarks.h"
#include "graph/TfrmSetupScale.h"
#include "support/WindowTestAccess.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace thermo4::ui::test {
namespace {

using Kind = ScriptedPrompts::Kind;

ScaleRanges uniform(int min, int max) {
    return {{{min, max}, {min, max}, {min, max}, {min, max}}};
}

/// Opens "Y Axis", notes what it shows, lets `fill` change the fields, and presses OK or Cancel.
ScaleRanges yAxisDialog(TfrmGraph& graph, const std::function<void(TfrmSetupScale&)>& fill, bool ok = true) {
    ScaleRanges shown{};
    OnModal<TfrmSetupScale> answer([&](TfrmSetupScale& d) {
        for (std::size_t k = 0; k < 4; ++k)
            shown[k] = {widgets(d).edtMin[k]->text().toInt(), widgets(d).edtMax[k]->text().toInt()};
        fill(d);
        (ok ? widgets(d).btnOK : widgets(d).btnCancel)->click();
    });
    widgets(graph).btnChangeScale->click();
    EXPECT_EQ(answer.opened(), 1);
    return shown;
}

ScaleRanges axisRanges(TfrmGraph& graph) {
    return ReadScaleRanges(*widgets(graph).Graph1);
}

TEST_F(GraphToolsTest, YAxisShowsTheRangesOfTheGraph) {
    EXPECT_EQ(yAxisDialog(realTimeGraph(), [](TfrmSetupScale&) {}), uniform(-10, 50));
    EXPECT_EQ(yAxisDialog(dataSetGraph(), [](TfrmSetupScale&) {}), uniform(-20, 100));
}

TEST_F(GraphToolsTest, DataOffTheScaleWidenTheAxesUnlessTheUserHoldsTheRange) {
    using Range = std::pair<double, double>;
    // T1 from 300 to 680, T2 inside the range, T3 without a probe, T4 off the scale once.
    TfrmGraph& graph = dataSetGraph([](int i) {
        return std::array<float, 4>{300.0f + 20 * i, 50.0f, -3276.8f, i == 7 ? 1234.0f : 20.0f};
    });
    chart::Graph1& g = *widgets(graph).Graph1;
    // Never below the look's −20…100; a widened end is the next multiple of a readable step.
    EXPECT_EQ(g.shownRangeY(0), Range(-20, 700));
    EXPECT_EQ(g.shownRangeY(1), Range(-20, 100));
    EXPECT_EQ(g.shownRangeY(2), Range(-20, 100)); // no probe: a gap, nothing to take in
    EXPECT_EQ(g.shownRangeY(3), Range(-20, 1400));
    const QCPAxis* t1 = g.axisRect(0)->axis(QCPAxis::atLeft);
    EXPECT_EQ(t1->range(), QCPRange(-20, 700));
    const QVector<double> ticks = t1->tickVector();
    const auto labels =
        std::count_if(ticks.begin(), ticks.end(), [](double t) { return t >= -20 && t <= 700; });
    EXPECT_GE(labels, 3);
    EXPECT_LE(labels, 10);
    EXPECT_EQ(widgets(graph).txtMax[2]->text(), QStringLiteral("OL"));
    EXPECT_EQ(widgets(graph).txtMin[2]->text(), QStringLiteral("OL"));
    EXPECT_EQ(widgets(graph).txtAvg[2]->text(), QStringLiteral("****"));

    // The Y Axis dialog shows the ranges as drawn; the range the user sets there holds.
    const ScaleRanges seen = yAxisDialog(graph, [](TfrmSetupScale& d) {
        widgets(d).edtMin[0]->setText(QStringLiteral("0"));
        widgets(d).edtMax[0]->setText(QStringLiteral("50"));
    });
    EXPECT_EQ(seen[0], (ScaleRange{-20, 700}));
    EXPECT_EQ(seen[3], (ScaleRange{-20, 1400}));
    g.redraw();
    EXPECT_EQ(g.shownRangeY(0), Range(0, 50));
    EXPECT_EQ(g.shownRangeY(3), Range(-20, 1400));

    // Real time: an arriving sample off the scale widens its axis, until the user holds it.
    TfrmGraph& live = realTimeGraph();
    live.StartRecording(10, kT0);
    live.AppendSample(kT0 + kSecond, 0, {1234.0f, 20.0f, 20.0f, 20.0f});
    EXPECT_EQ(widgets(live).Graph1->shownRangeY(0), Range(-10, 1400));
    EXPECT_EQ(widgets(live).Graph1->shownRangeY(1), Range(-10, 50));
    yAxisDialog(live, [](TfrmSetupScale&) {});
    live.AppendSample(kT0 + 2 * kSecond, 0, {2000.0f, 20.0f, 20.0f, 60.0f});
    EXPECT_EQ(widgets(live).Graph1->shownRangeY(0), Range(-10, 1400));
    EXPECT_EQ(widgets(live).Graph1->shownRangeY(3), Range(-10, 50));
}

TEST_F(GraphToolsTest, YAxisRefusesAnythingButIntegers) {
    struct Entry { // the MAX or MIN field of T(channel + 1)
        bool max;
        int channel;
        const char* text;
    };
    const std::vector<std::pair<std::vector<Entry>, QString>> cases = {
        {{{true, 0, "abc"}, {false, 3, "x"}}, QStringLiteral("abc is invalid.")},
        {{{false, 1, "23.5"}}, QStringLiteral("23.5 is invalid.")},
        {{{true, 2, ""}}, QStringLiteral(" is invalid.")},
        {{{true, 3, "99999999999"}, {false, 0, "1e3"}}, QStringLiteral("1e3 is invalid.")},
    };
    TfrmGraph& graph = realTimeGraph();
    for (const auto& [entries, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        m_prompts.clear();
        yAxisDialog(graph, [&](TfrmSetupScale& d) {
            for (const Entry& e : entries)
                (e.max ? widgets(d).edtMax : widgets(d).edtMin)[std::size_t(e.channel)]->setText(
                    QLatin1String(e.text));
            widgets(d).edtMax[1]->setText(QStringLiteral("70")); // a valid change is not applied either
            widgets(d).chkSave->setChecked(true);
        });
        EXPECT_EQ(m_prompts.texts(Kind::Warning), QStringList{message});
        EXPECT_EQ(axisRanges(graph), uniform(-10, 50));
        EXPECT_FALSE(QFile::exists(m_services.paths.templateFile()));
    }
}

TEST_F(GraphToolsTest, YAxisSetsEachChannelAndCancelKeepsThem) {
    TfrmGraph& graph = realTimeGraph();
    yAxisDialog(graph, [](TfrmSetupScale& d) {
        for (std::size_t k = 0; k < 4; ++k) {
            widgets(d).edtMin[k]->setText(QString::number(-5 - int(k)));
            widgets(d).edtMax[k]->setText(QStringLiteral(" %1 ").arg(60 + 10 * int(k)));
        }
    });
    const ScaleRanges set{{{-5, 60}, {-6, 70}, {-7, 80}, {-8, 90}}};
    EXPECT_EQ(axisRanges(graph), set);
    EXPECT_EQ(widgets(graph).Graph1->workingAxis(), 0);
    EXPECT_FALSE(QFile::exists(m_services.paths.templateFile())); // not asked to keep them

    yAxisDialog(
        graph, [](TfrmSetupScale& d) { widgets(d).edtMin[0]->setText(QStringLiteral("1")); }, false);
    EXPECT_EQ(axisRanges(graph), set);
}

TEST_F(GraphToolsTest, SavedTemplateShapesTheNextRealTimeWindow) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    widgets(graph).ToolButton5->click();
    QTest::mouseClick(widgets(graph).Graph1->plot(), Qt::LeftButton, Qt::NoModifier,
                      axis0Area(graph).center() - ToolTipOffset(kCrossTool));
    ASSERT_EQ(widgets(graph).Graph1->graphAnnotationType(4), chart::AnnotationCross);
    widgets(graph).Graph1->setSubsetColor(0, QColor(255, 255, 0));
    yAxisDialog(graph, [](TfrmSetupScale& d) {
        widgets(d).edtMin[0]->setText(QStringLiteral("0"));
        widgets(d).edtMax[0]->setText(QStringLiteral("300"));
        widgets(d).chkSave->setChecked(true);
    });
    ASSERT_TRUE(QFile::exists(m_services.paths.templateFile()));
    const chart::GraphAnnotation mark = widgets(graph).Graph1->state().annotations[4];

    closeMain();
    m_prompts.clear();
    TfrmGraph& next = realTimeGraph();
    for (const QString& text : m_prompts.texts(Kind::Information))
        EXPECT_FALSE(text.startsWith(QStringLiteral("Can not fine the file"))) << text.toStdString();
    EXPECT_EQ(axisRanges(next)[0], (ScaleRange{0, 300}));
    EXPECT_EQ(widgets(next).Graph1->subsetColor(0), QColor(255, 255, 0));
    EXPECT_FALSE(widgets(next).chkSplit->isChecked());
    EXPECT_EQ(widgets(next).Graph1->state().annotations[4], mark); // the template's mark comes along
}

TEST_F(GraphToolsTest, TemplateThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(QDir(m_dir.filePath(QStringLiteral("data/template"))).removeRecursively());
    TfrmGraph& graph = realTimeGraph();
    yAxisDialog(graph, [](TfrmSetupScale& d) {
        widgets(d).edtMax[0]->setText(QStringLiteral("75"));
        widgets(d).chkSave->setChecked(true);
    });
    EXPECT_EQ(axisRanges(graph)[0], (ScaleRange{-10, 75})); // applied all the same
    ASSERT_EQ(m_prompts.texts(Kind::Error).size(), 1);
    EXPECT_TRUE(m_prompts.texts(Kind::Error)[0].contains(QStringLiteral("graph.ghf")));
    EXPECT_FALSE(QFile::exists(m_services.paths.templateFile()));
}

TEST_F(GraphToolsTest, GraphOptionGivesAxisZeroRangeToAllAxesAndKeepsTheTime) {
    for (const Answer save : {Answer::No, Answer::Yes}) {
        SCOPED_TRACE(save == Answer::Yes ? "saved" : "not saved");
        TfrmGraph& graph = dataSetGraph();
        chart::Graph1& g = *widgets(graph).Graph1;
        ApplyScaleRanges(g, {{{-1, 11}, {-2, 22}, {-3, 33}, {-4, 44}}});
        const double xMin = g.manualMinX(), xMax = g.manualMaxX();
        widgets(graph).UndoZoom->setEnabled(true);
        m_prompts.queueAnswer(save); // "Do you want to save the changes ?"
        int opened = 0;
        g.setDialogRunner([&](QDialog& d) {
            opened += qobject_cast<chart::CustomizeDialog*>(&d) != nullptr;
            return int(QDialog::Accepted);
        });
        widgets(graph).Button1->click();
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(m_prompts.texts(Kind::Question).last(), QLatin1String(GraphAppearance::kSaveQuestion));
        EXPECT_EQ(axisRanges(graph), uniform(-1, 11));
        EXPECT_EQ(g.manualMinX(), xMin);
        EXPECT_EQ(g.manualMaxX(), xMax);
        EXPECT_FALSE(widgets(graph).UndoZoom->isEnabled());
        EXPECT_EQ(QFile::exists(m_services.paths.templateFile()), save == Answer::Yes);
        graph.closeWindow();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A dialog closed without OK asks nothing.
    TfrmGraph& graph = realTimeGraph();
    const int questions = int(m_prompts.texts(Kind::Question).size());
    widgets(graph).Graph1->setDialogRunner([](QDialog&) { return int(QDialog::Rejected); });
    widgets(graph).Button1->click();
    EXPECT_EQ(m_prompts.texts(Kind::Question).size(), questions);
}

TEST_F(GraphToolsTest, FontGoesToTheStatisticsPanelsOnly) {
    TfrmGraph& graph = realTimeGraph();
    const QFont graphFont = widgets(graph).Graph1->graphFont();
    m_prompts.queueFont(std::nullopt);
    widgets(graph).Button3->click();
    EXPECT_NE(widgets(graph).txtMax[0]->font().family(), QStringLiteral("Courier"));
    QFont chosen(QStringLiteral("Courier"), 13);
    m_prompts.queueFont(chosen);
    widgets(graph).Button3->click();
    EXPECT_EQ(widgets(graph).txtMax[0]->font().pointSize(), 13);
    EXPECT_EQ(widgets(graph).txtStartTime->font().pointSize(), 13);
    EXPECT_EQ(widgets(graph).pnlGraphStatistic->font(), chosen);
    EXPECT_EQ(widgets(graph).Graph1->graphFont(), graphFont);
}

} // namespace
} // namespace thermo4::ui::test
