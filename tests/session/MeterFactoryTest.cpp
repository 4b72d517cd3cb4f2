#include "session/MeterFactory.h"

#include "support/ManualClock.h"
#include "session/MeterSession.h"
#include "support/MeterSessionTestAccess.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace thermo4::session {
namespace {

TEST(MeterFactory, BuildsTheChosenMeterOrSaysWhyNot) {
    const struct {
        const char* name;
        MeterChoice choice;
        bool made;
        const char* errorPart; // in the error when nothing was made
    } cases[] = {
        {"virtual", {MeterKind::Virtual, {}, {}, true}, true, ""},
        {"missing scenario",
         {MeterKind::Virtual, {}, QStringLiteral("/nonexistent/s.json"), true},
         false,
         "/nonexistent/s.json"},
        {"missing serial device",
         {MeterKind::Serial, QStringLiteral("/nonexistent/tty"), {}, true},
         false,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link::ManualClock clock;
        QString error;
        const std::unique_ptr<Meter> meter = MakeMeter(c.choice, clock, &error);
        ASSERT_EQ(meter != nullptr, c.made) << error.toStdString();
        if (!meter) {
            EXPECT_FALSE(error.isEmpty());
            EXPECT_TRUE(error.contains(QLatin1String(c.errorPart))) << error.toStdString();
            continue;
        }
        MeterSession& session = meter->session();
        session.startPolling();
        EXPECT_FALSE(MeterSessionTestAccess::pollTimer(session)->isActive()) << "headless: the caller polls";
        session.pollOnce();
        EXPECT_TRUE(session.usbLink()) << "the virtual meter answers on USB at the first tick";
        EXPECT_TRUE(meter->takeNotice().isEmpty());
    }
}

} // namespace
} // namespace thermo4::session
