#include "app/CommandLine.h"

namespace thermo4::ui {

namespace {

/// Splits "--name=value" into name and value; value is null without "=".
std::pair<QString, QString> splitOption(const QString& argument) {
    const qsizetype eq = argument.indexOf(QLatin1Char('='));
    if (eq < 0)
        return {argument, QString()};
    return {argument.left(eq), argument.mid(eq + 1)};
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const auto [name, value] = splitOption(arguments[i]);
        if (name == QLatin1String("--simulate")) {
            line.simulate = true;
            if (!value.isNull() && value.isEmpty()) {
                line.error = QStringLiteral("--simulate= needs a scenario file name");
                return line;
            }
            line.scenario = value;
        } else if (name == QLatin1String("--data-dir")) {
            QString dir = value;
            if (dir.isNull()) {
                if (i + 1 >= arguments.size()) {
                    line.error = QStringLiteral("--data-dir needs a folder");
                    return line;
                }
                dir = arguments[++i];
            }
            if (dir.isEmpty()) {
                line.error = QStringLiteral("--data-dir needs a folder");
                return line;
            }
            line.dataDir = dir;
        } else if (name == QLatin1String("--mqtt")) {
            const QString url = value.isNull() && i + 1 < arguments.size() ? arguments[++i] : value;
            QString reason;
            line.mqttBroker =
                mqtt::BrokerUrl::parse(url, qEnvironmentVariable(mqtt::kPasswordVariable), &reason);
            if (!line.mqttBroker) {
                line.error = QStringLiteral("--mqtt: %1").arg(reason);
                return line;
            }
        } else if (arguments[i] == QLatin1String("--record")) {
            line.record = true;
        } else if (arguments[i] == QLatin1String("--service")) {
            line.service = true;
        } else if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            line.help = true;
        } else if (name == QLatin1String("--version")) {
            line.version = true;
        } else {
            line.error = QStringLiteral("unknown argument: %1").arg(arguments[i]);
            return line;
        }
    }
    return line;
}

QString CommandLine::programVersion() {
    return QStringLiteral(THERMO4_VERSION);
}

QString CommandLine::usage() {
    return QStringLiteral("Usage: thermo4 [--simulate[=SCENARIO]] [--data-dir DIR] [--mqtt URL] [--record]\n"
                          "              [--service]\n"
                          "\n"
                          "Desktop program for the four-channel thermocouple thermometer.\n"
                          "\n"
                          "  --simulate            use the built-in virtual meter instead of a USB meter\n"
                          "  --simulate=SCENARIO   the virtual meter plays the given scenario file (JSON)\n"
                          "  --data-dir DIR        keep the graph template and temporary files in DIR\n"
                          "                        (default: the program's folder when writable,\n"
                          "                        else the user's application-data folder)\n"
                          "  --mqtt URL            publish live readings to the MQTT broker at URL:\n"
                          "                        mqtt://[USER[:PASSWORD]@]HOST[:PORT]/BASE (or mqtts://)\n"
                          "                        with the password from THERMO4_MQTT_PASSWORD\n"
                          "                        when the URL has none; JSON on BASE/live, each\n"
                          "                        recorded sample on BASE/recording, \"online\" or\n"
                          "                        \"offline\" on BASE/status\n"
                          "  --record              start a real-time recording as soon as a meter is\n"
                          "                        connected, at the saved sampling rate and with the\n"
                          "                        largest sample count (99999), for unattended logging\n"
                          "  --service             offer Data Logger > Setup, the meter's setup dialog\n"
                          "                        (clock, interval, erase, defaults, calibration,\n"
                          "                        EEPROM cells, quick recording) for service work\n"
                          "  -h, --help            show this text\n"
                          "  --version             show the program's version\n");
}

} // namespace thermo4::ui
