#include "app/CommandLine.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

struct LineCase {
    QStringList arguments;
    bool simulate;
    QString scenario;
    QString dataDir;
    bool help;
    bool error;
};

class CommandLineCases : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineCases, ParsesAsExpected) {
    const LineCase& c = GetParam();
    const CommandLine line = CommandLine::parse(c.arguments);
    EXPECT_EQ(!line.error.isEmpty(), c.error) << line.error.toStdString();
    if (c.error)
        return;
    EXPECT_EQ(line.simulate, c.simulate);
    EXPECT_EQ(line.scenario, c.scenario);
    EXPECT_EQ(line.dataDir, c.dataDir);
    EXPECT_EQ(line.help, c.help);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineCases,
    ::testing::Values(LineCase{{}, false, {}, {}, false, false},
                      LineCase{{"--simulate"}, true, {}, {}, false, false},
                      LineCase{{"--simulate=a b.json"}, true, "a b.json", {}, false, false},
                      LineCase{{"--simulate="}, true, {}, {}, false, true},
                      LineCase{{"--data-dir", "/tmp/x"}, false, {}, "/tmp/x", false, false},
                      LineCase{{"--data-dir=/tmp/y", "--simulate"}, true, {}, "/tmp/y", false, false},
                      LineCase{{"--data-dir"}, false, {}, {}, false, true},
                      LineCase{{"--data-dir="}, false, {}, {}, false, true},
                      LineCase{{"-h"}, false, {}, {}, true, false},
                      LineCase{{"--simulate", "--help"}, true, {}, {}, true, false},
                      LineCase{{"--simulated"}, false, {}, {}, false, true},
                      LineCase{{"scenario.json"}, false, {}, {}, false, true}));

TEST(CommandLine, UsageNamesEveryOption) {
    const QString usage = CommandLine::usage();
    for (const char* option : {"--usb", "--simulate", "--simulate=SCENARIO", "--data-dir", "--service",
                               "--record", "--mqtt", "--mqtt-password-file", "--http", "--help", "--version"})
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
    EXPECT_FALSE(CommandLine::programVersion().isEmpty());
}

TEST(CommandLine, UsbNamesAMeterAndEachSimulatePlugsInOneMore) {
    const struct {
        QStringList arguments;
        const char* usbMeter;
        QStringList moreScenarios;
    } cases[] = {
        {{"--usb"}, "", {}},
        {{"--usb", "/dev/hidraw3"}, "/dev/hidraw3", {}},
        {{"--usb=SN01", "--record"}, "SN01", {}},
        {{"--usb", "--record"}, "", {}},
        {{"--simulate=a.json", "--simulate", "--simulate=c.json", "--usb", "SNB"}, "SNB", {"", "c.json"}},
    };
    for (const auto& c : cases) {
        const CommandLine line = CommandLine::parse(c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
        EXPECT_EQ(line.usbMeter, c.usbMeter);
        EXPECT_EQ(line.moreScenarios, c.moreScenarios);
    }
    EXPECT_EQ(CommandLine::parse({"--simulate=a.json", "--simulate"}).scenario, "a.json");
    EXPECT_FALSE(CommandLine::parse({"--usb="}).error.isEmpty());
}

TEST(CommandLine, ServiceAndRecordArePlainSwitches) {
    EXPECT_TRUE(CommandLine::parse({"--simulate", "--service"}).service);
    EXPECT_FALSE(CommandLine::parse({"--simulate"}).service);
    EXPECT_FALSE(CommandLine::parse({"--service=yes"}).error.isEmpty());
    EXPECT_TRUE(CommandLine::parse({"--record", "--simulate"}).record);
    EXPECT_FALSE(CommandLine::parse({"--simulate"}).record);
    EXPECT_FALSE(CommandLine::parse({"--record=yes"}).error.isEmpty());
}

TEST(CommandLine, MqttTakesAValidBrokerUrl) {
    qunsetenv(mqtt::kPasswordVariable);
    for (const QStringList& arguments :
         {QStringList{"--mqtt", "mqtt://ann:pw@broker:1884/lab/m1"},
          QStringList{"--simulate", "--mqtt=mqtt://ann:pw@broker:1884/lab/m1"}}) {
        const CommandLine line = CommandLine::parse(arguments);
        ASSERT_TRUE(line.error.isEmpty()) << line.error.toStdString();
        ASSERT_TRUE(line.mqttBroker);
        EXPECT_EQ(line.mqttBroker->host, "broker");
        EXPECT_EQ(line.mqttBroker->port, 1884);
        EXPECT_EQ(line.mqttBroker->password, "pw");
        EXPECT_EQ(line.mqttBroker->baseTopic, "lab/m1");
        EXPECT_TRUE(line.warning.contains("--mqtt-password-file")) << "the password is in the URL";
    }
    EXPECT_FALSE(CommandLine::parse({"--simulate"}).mqttBroker);
    for (const QStringList& arguments : {QStringList{"--mqtt"}, QStringList{"--mqtt", "http://broker/x"},
                                         QStringList{"--mqtt=mqtt://broker"}}) {
        const CommandLine line = CommandLine::parse(arguments);
        EXPECT_TRUE(line.error.startsWith("--mqtt: ")) << line.error.toStdString();
        EXPECT_FALSE(line.mqttBroker);
    }
    EXPECT_TRUE(CommandLine::usage().contains("THERMO4_MQTT_PASSWORD"));
}

TEST(CommandLine, HttpTakesAnAddressAndPort) {
    const CommandLine local = CommandLine::parse({"--simulate", "--http", "8080"});
    ASSERT_TRUE(local.httpAddress) << local.error.toStdString();
    EXPECT_EQ(local.httpAddress->text(), "127.0.0.1:8080");
    const CommandLine open = CommandLine::parse({"--http=0.0.0.0:80"});
    ASSERT_TRUE(open.httpAddress) << open.error.toStdString();
    EXPECT_TRUE(open.httpAddress->openToNetwork());
    EXPECT_FALSE(CommandLine::parse({"--simulate"}).httpAddress);
    for (const QStringList& arguments : {QStringList{"--http"}, QStringList{"--http", "web:80"}}) {
        const CommandLine line = CommandLine::parse(arguments);
        EXPECT_TRUE(line.error.startsWith("--http: ")) << line.error.toStdString();
        EXPECT_FALSE(line.httpAddress);
    }
}

TEST(CommandLine, ThePasswordFileGoesWithMqttInEitherOrder) {
    qunsetenv(mqtt::kPasswordVariable);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("pw")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("from-file\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFile::ReadOwner));
    for (const QStringList& arguments :
         {QStringList{"--mqtt-password-file", file.fileName(), "--mqtt", "mqtt://ann@broker/x"},
          QStringList{"--mqtt=mqtt://ann@broker/x", "--mqtt-password-file=" + file.fileName()}}) {
        const CommandLine line = CommandLine::parse(arguments);
        ASSERT_TRUE(line.mqttBroker) << line.error.toStdString();
        EXPECT_EQ(line.mqttBroker->password, "from-file");
        EXPECT_TRUE(line.warning.isEmpty());
    }
    EXPECT_EQ(CommandLine::parse({"--mqtt-password-file", file.fileName()}).error,
              "--mqtt-password-file goes with --mqtt URL");
    EXPECT_TRUE(CommandLine::parse({"--mqtt", "mqtt://ann@broker/x", "--mqtt-password-file", "/no/such/file"})
                    .error.startsWith("--mqtt-password-file: /no/such/file"));
}

} // namespace
} // namespace thermo4::ui
