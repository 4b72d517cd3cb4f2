#include "session/MeterFactory.h"

#include "session/MeterSession.h"
#include "support/ManualClock.h"
#include "support/MeterSessionTestAccess.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

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

// Three programs on the same two virtual meters, told apart by their USB paths and serial numbers.
TEST(MeterFactory, EachProgramHoldsItsOwnMeterUntilItLetsGo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    const QString pathA = dir.filePath("hidraw-a");
    for (const auto& [name, serial] : {std::pair{"a", "SNA"}, std::pair{"b", "SNB"}}) {
        QFile file(dir.filePath(QStringLiteral("%1.json").arg(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"usb_path": "%1", "serial": "%2"})")
                       .arg(dir.filePath(QStringLiteral("hidraw-%1").arg(name)), serial)
                       .toUtf8());
    }
    MeterChoice choice{MeterKind::Virtual, {}, dir.filePath("a.json"), true};
    choice.moreScenarios = {dir.filePath("b.json")};
    link::ManualClock clock;
    QString error;
    const auto first = MakeMeter(choice, clock, &error);
    const auto second = MakeMeter(choice, clock, &error);
    choice.usbMeter = QStringLiteral("SNA");
    const auto third = MakeMeter(choice, clock, &error);
    ASSERT_TRUE(first && second && third) << error.toStdString();
    EXPECT_EQ(first->usbMeters().size(), 2u);
    EXPECT_TRUE(first->meterName().isEmpty()) << "no meter is held before the first identify";

    first->session().pollOnce();
    second->session().pollOnce();
    EXPECT_EQ(first->meterName(), "SNA");
    EXPECT_TRUE(second->session().connected());
    EXPECT_EQ(second->meterName(), "SNB") << "the free meter is found without being asked for";

    third->session().pollOnce();
    EXPECT_FALSE(third->session().connected());
    EXPECT_EQ(third->takeNotice(), QStringLiteral("the meter on %1 is in use by %2 (pid %3)")
                                       .arg(pathA, QString::fromLocal8Bit(program_invocation_short_name))
                                       .arg(::getpid()));

    first->session().disconnectSerial(); // the connection ends: the lock goes with it
    third->session().pollOnce();
    EXPECT_EQ(third->meterName(), "SNA");
    first->session().pollOnce();
    EXPECT_FALSE(first->session().connected()) << "both meters are held by others now";
    qputenv("XDG_RUNTIME_DIR", runtime);
}

} // namespace
} // namespace thermo4::session
