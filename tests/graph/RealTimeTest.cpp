#include "GraphRig.h"

#include "core/GraphStatistics.h"
#include "graph/RealTimeRecording.h"
#include "support/WindowTestAccess.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>

#include <cmath>

namespace thermo4::ui::test {
namespace {

using Kind = ScriptedPrompts::Kind;

const QString kRateQuestion = QStringLiteral(
    "Sampling Rate is being changed and it is recording Real-Time data or there are data in Real_Time graph."
    "If you want to make new sampling rate effective,it have to reset the graph.\n"
    "Do you want to save the Real-Time graph ?");

/// Run and Stop (button and menu together) and the real-time window's Clear.
struct Buttons {
    bool run, stop, clear;
    bool operator==(const Buttons&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Buttons& b) {
    return out << "run " << b.run << " stop " << b.stop << " clear " << b.clear;
}

class RealTimeTest : public GraphRig {
protected:
    void SetUp() override {
        GraphRig::SetUp();
        writeTemplate();
    }

    /// Connected, recording `count` samples at 2 s, with `taken` of them taken.
    void startRecording(const QString& count, int taken) {
        openConnected();
        ASSERT_EQ(runFor(count), 1);
        ASSERT_TRUE(recording().recording());
        tickUntilSamples(taken);
        ASSERT_EQ(sampleCount(), taken);
    }

    QString savePath() const { return m_dir.filePath(QStringLiteral("saved.ghf")); }

    Buttons buttons() {
        return {enabled("btnRun") && enabled("Run1"), enabled("btnStop") || enabled("Stop1"),
                widgets(realTime()).tbntClr->isEnabled()};
    }
};

bool threeDecimals(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(R"(^-?\d+\.\d{3}$)"));
    return pattern.match(text).hasMatch();
}

TEST_F(RealTimeTest, SetupDialogShowsCountRateAndPeriod) {
    openConnected();
    QStringList seen;
    const int opened = run(
        [&seen](TfrmSetupRealTime& d) {
            seen << d.windowTitle() << widgets(d).edtRealTimeNo->text() << widgets(d).ComboBox1->currentText()
                 << widgets(d).ComboBox2->currentText() << widgets(d).edtPeriod->text();
            widgets(d).ComboBox2->setCurrentIndex(3);
            d.ComboBox1Change();
            seen << widgets(d).edtPeriod->text();
            widgets(d).ComboBox2->setCurrentIndex(0); // 00:00 is no rate
            d.ComboBox1Change();
            seen << widgets(d).ComboBox2->currentText() << widgets(d).edtPeriod->text();
            widgets(d).edtRealTimeNo->setText(QStringLiteral("99999"));
            widgets(d).ComboBox1->setCurrentIndex(60);
            d.ComboBox1Change();
            seen << widgets(d).edtPeriod->text();
        },
        false);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(seen,
              QStringList({QStringLiteral("Real-Time Setup"), QStringLiteral(" 2000"), QStringLiteral("00"),
                           QStringLiteral("02"), QStringLiteral("1:6:40"), QStringLiteral("1:40:00"),
                           QStringLiteral("02"), QStringLiteral("1:06:40"), QStringLiteral("100054:33:18")}));
    // Cancelled: nothing starts and the window's boxes keep their rate.
    EXPECT_FALSE(recording().recording());
    EXPECT_EQ(widgets(realTime()).ComboBox2->currentText(), QStringLiteral("02"));
}

TEST_F(RealTimeTest, RunDoesNothingWithoutAMeter) {
    open();
    EXPECT_EQ(run(), 0);
    EXPECT_FALSE(recording().recording());
}

TEST_F(RealTimeTest, CountThatIsNotANumberIsReported) {
    for (const QString& count : {QStringLiteral("2 00"), QStringLiteral("     ")}) {
        openConnected();
        const int points = realTimeChart().points();
        m_prompts.clear();
        run([&count](TfrmSetupRealTime& d) {
            widgets(d).edtRealTimeNo->setText(count);
            widgets(d).ComboBox2->setCurrentIndex(5);
        });
        EXPECT_EQ(m_prompts.texts(Kind::Warning), QStringList(count + QStringLiteral(" is not valid.\n")));
        EXPECT_FALSE(recording().recording());
        EXPECT_EQ(recording().realTimeRate(), 2);
        EXPECT_EQ(realTimeChart().points(), points);
        // The window's boxes already show the dialog's choice.
        EXPECT_EQ(widgets(realTime()).ComboBox2->currentText(), QStringLiteral("05"));
    }
}

TEST_F(RealTimeTest, FiveSamplesAtTwoSecondsStopByThemselves) {
    m_meter->setFixedCelsius(1, -5.5);
    openConnected();
    EXPECT_EQ(buttons(), (Buttons{true, false, true}));
    ASSERT_EQ(runFor(QStringLiteral("5")), 1);
    EXPECT_EQ(buttons(), (Buttons{false, true, false}));
    EXPECT_EQ(widgets(realTime()).txtStartTime->text(), core::DateTimeText(now(), QLocale()));
    const double start = now();
    tickUntilSamples(6);

    EXPECT_FALSE(recording().recording());
    EXPECT_EQ(sampleCount(), 5);
    EXPECT_TRUE(recording().realTimeUnsaved);
    EXPECT_EQ(buttons(), (Buttons{true, false, true}));
    const chart::Graph1& g = realTimeChart();
    ASSERT_EQ(g.points(), 5);
    EXPECT_EQ(widgets(realTime()).txtDataNo->text(), QStringLiteral("5"));
    for (int i = 1; i < 5; ++i)
        EXPECT_NEAR((g.xDataII(0, i) - g.xDataII(0, i - 1)) / kSecond, 2.0, 1e-3) << "point " << i;
    EXPECT_GE(g.xDataII(0, 0), start);
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_TRUE(threeDecimals(widgets(realTime()).txtAvg[k]->text()))
            << widgets(realTime()).txtAvg[k]->text().toStdString();
    EXPECT_EQ(widgets(realTime()).txtAvg[0]->text(), QLocale().toString(20.0, 'f', 3));
    EXPECT_EQ(widgets(realTime()).txtAvg[1]->text(), QLocale().toString(-5.5, 'f', 3));
    EXPECT_EQ(widgets(realTime()).txtMax[0]->text(), QLocale().toString(20.0, 'f', 1) + QLatin1Char('@') +
                                                         core::DateTimeText(g.xDataII(0, 0), QLocale()));
}

TEST_F(RealTimeTest, StopAfterThreeOfTwoThousandKeepsThreePoints) {
    startRecording(QStringLiteral(" 2000"), 3);
    const chart::Graph1& g = realTimeChart();
    EXPECT_EQ(g.points(), 2000);
    const double third = g.xDataII(3, 2);
    m_clock.advance(700);
    m_window->btnStopClick();
    EXPECT_FALSE(recording().recording());
    EXPECT_EQ(buttons(), (Buttons{true, false, true}));
    ASSERT_EQ(g.points(), 3);
    EXPECT_DOUBLE_EQ(g.xDataII(3, 2), third);
    EXPECT_EQ(g.yData(3, 2), 23.0f);
    EXPECT_DOUBLE_EQ(g.manualMaxX(), now()); // the time axis ends at the moment of Stop
    EXPECT_EQ(widgets(realTime()).txtAvg[2]->text(), QLocale().toString(22.0, 'f', 3));
    // No more samples arrive.
    tick(8);
    EXPECT_EQ(sampleCount(), 3);
}

TEST_F(RealTimeTest, OverRangeAndMissingReadingsAreGaps) {
    for (int k = 0; k < 4; ++k)
        m_meter->setFixedCelsius(k, std::nullopt); // the probes drift
    m_meter->setProbe(2, sim::ChannelShow::NoReading);
    m_meter->setProbe(3, sim::ChannelShow::OverRange);
    openConnected();
    ASSERT_EQ(run([](TfrmSetupRealTime& d) {
                  widgets(d).edtRealTimeNo->setText(QStringLiteral("40"));
                  widgets(d).ComboBox2->setCurrentIndex(1);
              }),
              1);
    for (int i = 0; i < 400 && recording().recording(); ++i) {
        if (sampleCount() == 10)
            m_meter->setProbe(1, sim::ChannelShow::OverRange);
        if (sampleCount() == 20)
            m_meter->setProbe(1, sim::ChannelShow::Reading);
        tick();
    }
    ASSERT_FALSE(recording().recording());
    const chart::Graph1& g = realTimeChart();
    ASSERT_EQ(g.points(), 40);
    for (int i = 0; i < 40; ++i) {
        const bool overRange = i >= 10 && i < 20;
        EXPECT_EQ(g.yData(1, i) == 9999.0f, overRange) << "point " << i;
        EXPECT_EQ(g.yData(2, i), 9999.0f) << "point " << i;
        EXPECT_EQ(g.yData(3, i), 9999.0f) << "point " << i;
        EXPECT_DOUBLE_EQ(g.xDataII(2, i), g.xDataII(0, i));
        EXPECT_LT(std::abs(g.yData(0, i)), 3000.0f) << "point " << i;
    }
    // T2 is drawn as two runs of 10 and 20 points with no line across the gap.
    int runs = 0, drawn = 0;
    bool inRun = false;
    for (const QCPGraphData& point : *g.graphOf(1)->data()) {
        const bool finite = std::isfinite(point.value);
        drawn += finite ? 1 : 0;
        runs += finite && !inRun ? 1 : 0;
        inRun = finite;
    }
    EXPECT_EQ(drawn, 30);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(widgets(realTime()).txtMax[2]->text(), QStringLiteral("----"));
    EXPECT_EQ(widgets(realTime()).txtMin[2]->text(), QStringLiteral("----"));
    EXPECT_EQ(widgets(realTime()).txtAvg[2]->text(), QStringLiteral("****"));
    // The extremes follow the reading even while the channel shows "OL".
    EXPECT_EQ(widgets(realTime()).txtMax[3]->text(), QStringLiteral("OL"));
    EXPECT_EQ(widgets(realTime()).txtMin[3]->text(), QStringLiteral("OL"));
    saveShot(QStringLiteral("realtime-recording"));
}

TEST_F(RealTimeTest, TimeAxisGrowsBySamplePeriodWhenASampleFallsPastItsEnd) {
    startRecording(QStringLiteral("10"), 1);
    chart::Graph1& g = realTimeChart();
    const double late = g.manualMaxX() + 30 * kSecond;
    realTime().AppendSample(late, 0, {1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(g.manualMaxX(), late + recording().samplePeriod);
    EXPECT_NEAR(recording().samplePeriod / kSecond, 10.0, 1e-3);
    const double inside = late + recording().samplePeriod / 2;
    realTime().AppendSample(inside, 0, {1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(g.manualMaxX(), late + recording().samplePeriod);
}

struct AnswerCase {
    const char* name;
    Answer answer;
    bool saveTo; // the save dialog picks a file (else it is cancelled)
    bool goesOn; // the command carries on (else the samples stay as they were)
};

/// A recording of 50 samples with `taken` of them taken, and the answers to the question
/// that offers to save them: the answer, then (on Yes) the save dialog's file or its Cancel.
class SaveQuestionTest : public RealTimeTest, public ::testing::WithParamInterface<AnswerCase> {
protected:
    void recordAndQueueAnswers(int taken) {
        startRecording(QStringLiteral("50"), taken);
        const AnswerCase& c = GetParam();
        m_prompts.queueAnswer(c.answer);
        if (c.answer == Answer::Yes)
            m_prompts.queueSaveFile(c.saveTo ? savePath() : QString());
    }
};

TEST_P(SaveQuestionTest, RunWithSamplesOffersToSaveFirst) {
    const AnswerCase& c = GetParam();
    recordAndQueueAnswers(2);
    const int opened =
        run([](TfrmSetupRealTime& d) { widgets(d).edtRealTimeNo->setText(QStringLiteral("7")); });
    EXPECT_EQ(m_prompts.texts(Kind::Question), QStringList(RealTimeRecording::kRunQuestion));
    EXPECT_EQ(opened, c.goesOn ? 1 : 0);
    EXPECT_TRUE(recording().recording());
    EXPECT_EQ(sampleCount(), c.goesOn ? 0 : 2);
    EXPECT_EQ(realTimeChart().points(), c.goesOn ? 7 : 50);
    EXPECT_EQ(QFile::exists(savePath()), c.answer == Answer::Yes && c.saveTo);
}

TEST_P(SaveQuestionTest, RateChangeWithSamplesAsksBeforeResetting) {
    const AnswerCase& c = GetParam();
    recordAndQueueAnswers(2);
    widgets(realTime()).ComboBox2->setCurrentIndex(5);
    realTime().ComboBox1Change();
    EXPECT_EQ(m_prompts.texts(Kind::Question), QStringList(kRateQuestion));
    EXPECT_EQ(recording().recording(), !c.goesOn);
    EXPECT_EQ(recording().realTimeRate(), c.goesOn ? 5 : 2);
    EXPECT_EQ(widgets(realTime()).ComboBox2->currentText(),
              c.goesOn ? QStringLiteral("05") : QStringLiteral("02"));
    EXPECT_EQ(sampleCount(), c.goesOn ? 0 : 2);
    EXPECT_EQ(realTimeChart().yData(0, 0), c.goesOn ? 9999.0f : 20.0f);
    EXPECT_EQ(buttons(), c.goesOn ? (Buttons{true, false, true}) : (Buttons{false, true, false}));
    EXPECT_EQ(QFile::exists(savePath()), c.answer == Answer::Yes && c.saveTo);
}

TEST_F(RealTimeTest, RateChangeOnAnEmptyGraphAsksNothing) {
    openConnected();
    struct Case {
        int minutes, seconds;
        int rate;
    };
    for (const Case c : {Case{1, 30, 90}, Case{0, 0, 2}, Case{0, 7, 7}}) {
        widgets(realTime()).ComboBox1->setCurrentIndex(c.minutes);
        widgets(realTime()).ComboBox2->setCurrentIndex(c.seconds);
        realTime().ComboBox1Change();
        EXPECT_EQ(recording().realTimeRate(), c.rate);
        EXPECT_EQ(realTime().rateBoxSeconds(), c.rate);
        EXPECT_NEAR(recording().samplePeriod / kSecond, 100.0 * c.rate, 1e-6);
    }
    EXPECT_TRUE(m_prompts.shown().isEmpty());
    // The recording then samples at the new rate.
    ASSERT_EQ(runFor(QStringLiteral("3")), 1);
    tickUntilSamples(3);
    EXPECT_NEAR((realTimeChart().xDataII(0, 2) - realTimeChart().xDataII(0, 1)) / kSecond, 7.0, 1e-3);
}

TEST_P(SaveQuestionTest, ClosingWithUnsavedSamplesAsks) {
    const AnswerCase& c = GetParam();
    recordAndQueueAnswers(3);
    const bool closed = realTime().closeWindow();
    EXPECT_EQ(m_prompts.texts(Kind::Question), QStringList(kSaveRealTime));
    EXPECT_EQ(closed, c.goesOn);
    EXPECT_EQ(recording().realTimeUnsaved, !c.goesOn);
    EXPECT_EQ(recording().recording(), !c.goesOn);
    EXPECT_EQ(Child<QAction>(*m_window, "RealTimeGraph1")->isChecked(), !c.goesOn);
    if (c.goesOn) {
        EXPECT_FALSE(realTimeWindow());
        EXPECT_EQ(sampleCount(), 0);
        EXPECT_TRUE(enabled("btnRun"));
        EXPECT_FALSE(enabled("btnStop"));
    }
    if (c.answer == Answer::Yes && c.saveTo) {
        chart::Graph1 reloaded;
        ASSERT_TRUE(chart::LoadGraphState(reloaded, savePath()));
        EXPECT_EQ(reloaded.points(), 50);
        EXPECT_EQ(reloaded.yData(0, 2), 20.0f);
        EXPECT_EQ(reloaded.yData(0, 3), 9999.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(RealTime, SaveQuestionTest,
                         ::testing::Values(AnswerCase{"cancel", Answer::Cancel, false, false},
                                           AnswerCase{"no", Answer::No, false, true},
                                           AnswerCase{"yesSaved", Answer::Yes, true, true},
                                           AnswerCase{"yesNotSaved", Answer::Yes, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RealTimeTest, ClosingTheProgramWithUnsavedSamplesAsksFirst) {
    startRecording(QStringLiteral("50"), 1);
    m_prompts.queueAnswer(Answer::Cancel);
    EXPECT_FALSE(m_window->close());
    EXPECT_EQ(m_prompts.texts(Kind::Question), QStringList(kSaveRealTime));
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(realTimeWindow());
}

TEST_F(RealTimeTest, ClearBlanksDataFieldsAndMarks) {
    startRecording(QStringLiteral("3"), 3);
    chart::Graph1& g = realTimeChart();
    for (int mark = 4; mark <= 5; ++mark) {
        g.setGraphAnnotationType(mark, chart::AnnotationCross);
        g.setGraphAnnotationX(mark, g.xDataII(0, 1));
        g.setGraphAnnotationY(mark, 21.0);
    }
    shared().annotationCount = 5;
    m_prompts.queueAnswer(Answer::No);
    realTime().tbntClrClick();
    EXPECT_EQ(m_prompts.texts(Kind::Question), QStringList(kSaveRealTime));
    EXPECT_EQ(sampleCount(), 0);
    EXPECT_EQ(g.yData(0, 0), 9999.0f);
    EXPECT_DOUBLE_EQ(g.xDataII(3, 2), 0.0);
    EXPECT_TRUE(widgets(realTime()).txtDataNo->text().isEmpty());
    EXPECT_TRUE(widgets(realTime()).txtAvg[0]->text().isEmpty());
    for (int mark = 4; mark <= 5; ++mark) {
        EXPECT_DOUBLE_EQ(g.graphAnnotationX(mark), 0.0);
        EXPECT_DOUBLE_EQ(g.graphAnnotationY(mark), 0.0);
    }
    EXPECT_EQ(shared().annotationCount, 3);
    EXPECT_FALSE(widgets(realTime()).UndoZoom->isEnabled());
}

TEST_F(RealTimeTest, ClearKeepsSamplesThatCouldNotBeSaved) {
    startRecording(QStringLiteral("3"), 3);
    m_prompts.queueAnswer(Answer::Yes);
    m_prompts.queueSaveFile(QString());
    realTime().tbntClrClick();
    EXPECT_EQ(sampleCount(), 3);
    EXPECT_EQ(realTimeChart().yData(0, 0), 20.0f);
}

TEST_F(RealTimeTest, CountOfZeroStopsAtTheFirstSampleWithoutWritingOutside) {
    startRecording(QStringLiteral("0"), 0);
    tick(6);
    EXPECT_FALSE(recording().recording());
    EXPECT_EQ(realTimeChart().points(), 0);
    EXPECT_EQ(widgets(realTime()).txtAvg[0]->text(), QStringLiteral("****"));
}

TEST_F(RealTimeTest, StopWithoutARealTimeWindowOnlyEndsTheRecording) {
    startRecording(QStringLiteral("50"), 1);
    recording().realTimeUnsaved = false;
    ASSERT_TRUE(realTime().closeWindow());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    recording().start();
    m_window->btnStopClick();
    EXPECT_FALSE(recording().recording());
    EXPECT_TRUE(enabled("btnRun"));
    // Run opens a new real-time window first.
    EXPECT_EQ(runFor(QStringLiteral("2")), 1);
    ASSERT_TRUE(realTimeWindow());
    EXPECT_TRUE(recording().recording());
}

} // namespace
} // namespace thermo4::ui::test
