#include "alarm/AlarmMonitor.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

using namespace thermo4::core;
using namespace thermo4::alarm;

namespace {

const QDateTime kStart(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);

/// One step of a sequence: at seconds after the start, four channel texts
/// ("301.2", "OL", "----"), or "lost" (the meter stopped answering), or
/// "invalid" (a frame that is not valid: the session never hands it on).
struct Step {
    double seconds;
    const char* what;
};

struct Case {
    const char* name;
    const char* limits; // Tn>X / Tn<X, space separated
    double hold;
    double hysteresis;
    std::vector<Step> steps;
    /// "seconds on|off condition value" per event, in order.
    std::vector<const char*> events;
};

MeterStatus statusOf(const QString& text) {
    MeterStatus status;
    const QStringList fields = text.split(QLatin1Char(' '));
    for (int channel = 0; channel < 4; ++channel) {
        const QString field = fields.value(channel, QStringLiteral("20.0"));
        if (field == QLatin1String("OL")) {
            status.channelState |= std::uint8_t(1u << channel);
            status.reading[std::size_t(channel)] = 3276.7f;
        } else if (field == QLatin1String("----")) {
            status.channelState |= std::uint8_t(1u << (channel + 4));
            status.reading[std::size_t(channel)] = -3276.8f;
        } else {
            status.reading[std::size_t(channel)] = field.toFloat();
        }
    }
    return status;
}

QString describe(const AlarmEvent& e) {
    return QStringLiteral("%1 %2 %3 %4")
        .arg(kStart.msecsTo(e.time) / 1000.0)
        .arg(e.on ? "on" : "off", AlarmConditionText(e), AlarmValueText(e))
        .trimmed();
}

AlarmSettings settingsOf(const Case& c) {
    AlarmSettings settings;
    settings.holdSeconds = c.hold;
    settings.hysteresis = c.hysteresis;
    for (const QString& limit : QString::fromLatin1(c.limits).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QString error;
        EXPECT_TRUE(AddAlarmLimit(limit, settings, &error)) << error.toStdString();
    }
    return settings;
}

// clang-format off
const std::vector<Case> kCases = {
    {"ExactlyAtTheLimitIsInside", "T1>300 T2<25.3", 0, 0.5,
     {{0, "300.0 25.3"}, {1, "300.1 25.2"}, {2, "300.0 25.3"}},
     {"1 on T1 > 300.0 300.1", "1 on T2 < 25.3 25.2"}},
    {"HysteresisHoldsTheAlarmUntilBackBelowLimitMinusIt", "T1>300", 0, 0.5,
     {{0, "301.0"}, {1, "299.6"}, {2, "299.5"}, {3, "300.2"}},
     {"0 on T1 > 300.0 301.0", "2 off T1 > 300.0 299.5", "3 on T1 > 300.0 300.2"}},
    {"LowLimitHysteresisGoesUpwards", "T2<-5.5", 0, 1.0,
     {{0, "20 -6.0"}, {1, "20 -4.6"}, {2, "20 -4.5"}},
     {"0 on T2 < -5.5 -6.0", "2 off T2 < -5.5 -4.5"}},
    {"HoldTimeNeedsTheConditionWithoutABreak", "T1>300", 2, 0.5,
     {{0, "301"}, {1, "301"}, {1.5, "299"}, {2, "301"}, {3.5, "301"}, {4, "301"},
      {5, "290"}, {6, "301"}, {6.5, "290"}, {8, "290"}, {8.5, "290"}},
     {"4 on T1 > 300.0 301.0", "8.5 off T1 > 300.0 290.0"}},
    {"InvalidFramesNeitherBreakNorExtendTheHold", "T1>300", 2, 0.5,
     {{0, "301"}, {0.5, "invalid"}, {1, "invalid"}, {1.5, "invalid"}, {2, "301"}},
     {"2 on T1 > 300.0 301.0"}},
    {"OverRangeIsAboveEveryHighLimitAndInsideEveryLowOne", "T1>300 T2<0", 0, 0.5,
     {{0, "OL -1"}, {1, "OL OL"}, {2, "20 OL"}},
     {"0 on T1 > 300.0 OL", "0 on T2 < 0.0 -1.0", "1 off T2 < 0.0 OL", "2 off T1 > 300.0 20.0"}},
    {"OverRangeNeverBeginsALowAlarm", "T1<0", 0, 0.5, {{0, "OL"}, {1, "OL"}}, {}},
    {"NoReadingIsAnAlarmWithTheHoldTime", "T1>300 T3<5", 1, 0.5,
     {{0, "301 20 ----"}, {1, "---- 20 ----"}, {2, "---- 20 6"}, {3, "290 20 6"}, {4, "290 20 6"}},
     {"1 on T3 no reading ----", "2 on T1 no reading ----", "3 off T3 no reading 6.0",
      "4 off T1 no reading 290.0"}},
    {"NoReadingEndsNoLimitAlarm", "T1>300", 0, 0.5,
     {{0, "301"}, {1, "----"}, {2, "301"}, {3, "290"}},
     {"0 on T1 > 300.0 301.0", "1 on T1 no reading ----", "2 off T1 no reading 301.0", "3 off T1 > 300.0 290.0"}},
    {"ChannelsWithoutLimitsRaiseNothing", "T1>300", 0, 0.5, {{0, "20 ---- OL -300"}}, {}},
    {"ALostMeterEndsNoAlarmAndRestartsHolds", "T1>300 T2>300", 2, 0.5,
     {{0, "301 20"}, {2, "301 301"}, {3, "lost"}, {4, "lost"}, {10, "301 301"}, {11, "290 301"},
      {12.5, "290 301"}, {13, "290 290"}},
     {"2 on T1 > 300.0 301.0", "3 on meter lost", "10 off meter lost", "12.5 on T2 > 300.0 301.0",
      "13 off T1 > 300.0 290.0"}},
    {"ZeroHysteresisEndsAtTheLimit", "T4>100", 0, 0,
     {{0, "20 20 20 100.1"}, {1, "20 20 20 100.0"}},
     {"0 on T4 > 100.0 100.1", "1 off T4 > 100.0 100.0"}},
};
// clang-format on

class AlarmSequence : public testing::TestWithParam<Case> {};

TEST_P(AlarmSequence, GivesTheEventsExpected) {
    const Case& c = GetParam();
    AlarmMonitor monitor(settingsOf(c));
    std::vector<AlarmEvent> events;
    for (const Step& step : c.steps) {
        const QDateTime time = kStart.addMSecs(qint64(step.seconds * 1000));
        const QString what = QString::fromLatin1(step.what);
        if (what == QLatin1String("lost")) {
            monitor.meterLost(time, events);
        } else if (what != QLatin1String("invalid")) {
            monitor.reading(time, statusOf(what), events);
        }
    }
    QStringList got;
    for (const AlarmEvent& e : events) {
        got << describe(e);
    }
    QStringList want;
    for (const char* e : c.events) {
        want << QString::fromLatin1(e);
    }
    EXPECT_EQ(got.join(QStringLiteral(" | ")).toStdString(), want.join(QStringLiteral(" | ")).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Rule, AlarmSequence, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

TEST(AlarmMonitor, ActiveListAndSettingsChangeEndWhatIsNoLongerLimited) {
    AlarmSettings settings;
    QString error;
    ASSERT_TRUE(AddAlarmLimit(QStringLiteral("T1>300"), settings, &error));
    ASSERT_TRUE(AddAlarmLimit(QStringLiteral("T2<0"), settings, &error));
    AlarmMonitor monitor(settings);
    std::vector<AlarmEvent> events;
    monitor.reading(kStart, statusOf(QStringLiteral("301 -1")), events);
    ASSERT_EQ(monitor.active().size(), 2u);
    EXPECT_TRUE(monitor.channelOn(0));
    EXPECT_TRUE(monitor.isOn(1, AlarmKind::Low));

    // T1's limit moves (its alarm ends), T2's stays (its alarm stays on).
    settings.channel[0].high = 400.0;
    events.clear();
    monitor.setSettings(settings, kStart.addSecs(1), events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(describe(events[0]).toStdString(), "1 off T1 > 300.0 301.0");
    ASSERT_EQ(monitor.active().size(), 1u);
    EXPECT_EQ(monitor.active()[0].channel, 1);

    // Switched off: T2 ends, and a lost meter is no alarm without limits.
    settings.channel[1].enabled = false;
    events.clear();
    settings.channel[0].enabled = false;
    monitor.setSettings(settings, kStart.addSecs(2), events);
    monitor.meterLost(kStart.addSecs(3), events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].on);
    EXPECT_TRUE(monitor.active().empty());
}

TEST(AlarmLimitText, AcceptsBothKindsPerChannelAndRefusesTheRest) {
    AlarmSettings settings;
    QString error;
    for (const char* good : {"T1>300", "T2<-5.5", "T2>.5", "T4<+7.", "T1<-0.25"}) {
        EXPECT_TRUE(AddAlarmLimit(QString::fromLatin1(good), settings, &error))
            << good << error.toStdString();
    }
    EXPECT_EQ(settings.channel[1].low, -5.5);
    EXPECT_EQ(settings.channel[1].high, 0.5);
    EXPECT_TRUE(settings.channel[3].enabled);
    EXPECT_FALSE(settings.channel[2].limited());

    // Malformed, a second limit of a kind (T1>, T2<), a low limit not below the high one (T3).
    ASSERT_TRUE(AddAlarmLimit(QStringLiteral("T3<10"), settings, &error));
    const AlarmSettings before = settings;
    for (const char* bad : {"T5>3", "T1>>3", "T1>abc", "T1=3", "", "T0<1", "t1>3", "T1>3 ", "T1>1e3",
                            "T1>400", "T2<1", "T3>5", "T3>10"}) {
        error.clear();
        EXPECT_FALSE(AddAlarmLimit(QString::fromLatin1(bad), settings, &error)) << bad;
        EXPECT_TRUE(error.startsWith(QStringLiteral("alarm \""))) << error.toStdString();
        EXPECT_EQ(settings, before) << bad;
    }
}

} // namespace
