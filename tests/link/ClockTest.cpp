#include "link/LinkGuard.h"
#include "link/SystemClock.h"
#include "support/ManualClock.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace thermo4::link {
namespace {

TEST(ManualClock, WaitsEndOnTheFirstTickPastTheirTime) {
    struct Case {
        int ms;
        std::int64_t expectedTick;
    };
    for (const Case c : {Case{0, 1}, Case{100, 101}, Case{1000, 1001}, Case{-5, 1}}) {
        ManualClock busy;
        busy.delayBusy(c.ms);
        EXPECT_EQ(busy.tickMs(), c.expectedTick) << "delayBusy(" << c.ms << ")";
        ManualClock messages;
        messages.delayWithMessages(c.ms);
        EXPECT_EQ(messages.tickMs(), c.expectedTick) << "delayWithMessages(" << c.ms << ")";
    }
}

TEST(ManualClock, NowFollowsTheTickFromTheLastSetting) {
    const QDateTime start(QDate(2023, 12, 31), QTime(23, 59, 59));
    ManualClock clock(start);
    clock.advance(1500);
    EXPECT_EQ(clock.now(), QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0, 500)));
    clock.advance(-20); // ignored
    EXPECT_EQ(clock.tickMs(), 1500);

    const QDateTime later(QDate(2024, 6, 1), QTime(8, 0, 0));
    clock.setNow(later);
    EXPECT_EQ(clock.tickMs(), 1500) << "setting the date-time must not move the tick";
    clock.delayBusy(999);
    EXPECT_EQ(clock.now(), later.addSecs(1));
    EXPECT_EQ(clock.waitCount(), 1);
    EXPECT_EQ(clock.waitedMs(), 999);
}

TEST(ManualClock, ListenersSeeEveryChangeAndMayUnsubscribeWhileCalled) {
    ManualClock clock;
    std::vector<std::int64_t> seen;
    int selfCalls = 0;
    int victimCalls = 0;
    int self = 0;
    int victim = 0;
    clock.addListener([&](std::int64_t tick) { seen.push_back(tick); });
    self = clock.addListener([&](std::int64_t) {
        ++selfCalls;
        clock.removeListener(self);
    });
    clock.addListener([&](std::int64_t) { clock.removeListener(victim); }); // runs before the victim
    victim = clock.addListener([&](std::int64_t) { ++victimCalls; });
    clock.advance(10);
    clock.delayBusy(4);
    clock.advance(0); // no change, no call
    EXPECT_EQ(seen, (std::vector<std::int64_t>{10, 15}));
    EXPECT_EQ(selfCalls, 1);
    EXPECT_EQ(victimCalls, 0);
}

TEST(ManualClock, DelayWithMessagesProcessesPendingEventsAndDelayBusyDoesNot) {
    ManualClock clock;
    int fired = 0;
    QTimer::singleShot(0, [&] { ++fired; });
    clock.delayBusy(50);
    EXPECT_EQ(fired, 0);
    clock.delayWithMessages(50);
    EXPECT_EQ(fired, 1);
}

TEST(SystemClock, DelayWithMessagesRunsQueuedEventsAndWaitsPastItsTime) {
    SystemClock clock;
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    const std::int64_t start = clock.tickMs();
    clock.delayWithMessages(1);
    EXPECT_TRUE(fired);
    EXPECT_GT(clock.tickMs() - start, 1);
    EXPECT_TRUE(clock.now().isValid());
}

TEST(LinkGuard, BusyWhileAnyHoldLivesAndReleaseIsIdempotent) {
    LinkGuard guard;
    EXPECT_FALSE(guard.busy());
    {
        auto outer = guard.hold();
        EXPECT_TRUE(guard.busy());
        {
            auto inner = guard.hold();
            inner.release();
            inner.release();
            EXPECT_TRUE(guard.busy()) << "the outer hold still holds the link";
        }
        auto moved = std::move(outer);
        EXPECT_TRUE(guard.busy());
    }
    EXPECT_FALSE(guard.busy());
}

} // namespace
} // namespace thermo4::link

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
