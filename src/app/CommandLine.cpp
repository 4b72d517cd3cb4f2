#include "app/CommandLine.h"

#include "mqtt/BrokerOptions.h"

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
    const QString passwordFileOption = QStringLiteral("--") + QLatin1String(mqtt::kPasswordFileOption);
    std::optional<QString> mqttUrl;
    QString passwordFile;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const auto [name, value] = splitOption(arguments[i]);
        if (name == QLatin1String("--simulate")) {
            // Each further --simulate plugs in one more virtual meter.
            const bool further = line.simulate;
            line.simulate = true;
            if (!value.isNull() && value.isEmpty()) {
                line.error = QStringLiteral("--simulate= needs a scenario file name");
                return line;
            }
            if (further)
                line.moreScenarios.append(value);
            else
                line.scenario = value;
        } else if (name == QLatin1String("--usb")) {
            QString meter = value;
            if (meter.isNull() && i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1Char('-')))
                meter = arguments[++i];
            if (!value.isNull() && value.isEmpty()) {
                line.error = QStringLiteral("--usb= needs a hidraw path or a USB serial number");
                return line;
            }
            line.usbMeter = meter;
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
            mqttUrl = value.isNull() && i + 1 < arguments.size() ? arguments[++i] : value;
        } else if (name == QLatin1String("--http")) {
            const QString address = value.isNull() && i + 1 < arguments.size() ? arguments[++i] : value;
            line.httpAddress = web::HttpAddress::parse(address, &line.error);
            if (!line.httpAddress) {
                line.error = QStringLiteral("--http: %1").arg(line.error);
                return line;
            }
        } else if (name == passwordFileOption) {
            passwordFile = value.isNull() && i + 1 < arguments.size() ? arguments[++i] : value;
            if (passwordFile.isEmpty()) {
                line.error = QStringLiteral("%1 needs a file").arg(passwordFileOption);
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
    if (mqttUrl) {
        line.mqttBroker =
            mqtt::BrokerFromOptions(*mqttUrl, passwordFile, qEnvironmentVariable(mqtt::kPasswordVariable),
                                    &line.error, &line.warning);
    } else if (!passwordFile.isEmpty()) {
        line.error = QStringLiteral("%1 goes with --mqtt URL").arg(passwordFileOption);
    }
    return line;
}

QString CommandLine::programVersion() {
    return QStringLiteral(THERMO4_VERSION);
}

QString CommandLine::usage() {
    return QStringLiteral("Usage: thermo4 [--usb [PATH|SERIAL]] [--simulate[=SCENARIO]]... [--data-dir DIR]\n"
                          "              [--mqtt URL] [--mqtt-password-file FILE] [--http [ADDR:]PORT]\n"
                          "              [--record] [--service]\n"
                          "\n"
                          "Desktop program for the four-channel thermocouple thermometer.\n"
                          "\n"
                          "  --usb [PATH|SERIAL]   the meter on USB at that hidraw path or with that USB\n"
                          "                        serial number (thermo4-cli ports lists them); without\n"
                          "                        one (the default) the first meter no other program\n"
                          "                        holds, the one chosen last time when it is free\n"
                          "  --simulate            use the built-in virtual meter instead of a USB meter\n"
                          "  --simulate=SCENARIO   the virtual meter plays the given scenario file (JSON);\n"
                          "                        each further --simulate plugs in one more virtual meter\n"
                          "  --data-dir DIR        keep the graph template and temporary files in DIR\n"
                          "                        (default: the program's folder when writable,\n"
                          "                        else the user's application-data folder)\n"
                          "  --mqtt URL            publish live readings to the MQTT broker at URL:\n"
                          "                        mqtt://[USER[:PASSWORD]@]HOST[:PORT]/BASE (or mqtts://);\n"
                          "                        JSON on BASE/live, each recorded sample on\n"
                          "                        BASE/recording, \"online\" or \"offline\" on BASE/status\n"
                          "  --mqtt-password-file FILE\n"
                          "                        the broker password is the first line of FILE, which\n"
                          "                        no other user may read (chmod 600); without it the\n"
                          "                        password comes from THERMO4_MQTT_PASSWORD. A password\n"
                          "                        in the URL is seen by every user in the process list\n"
                          "  --http [ADDR:]PORT    serve the live page of the readings at http://ADDR:PORT/\n"
                          "                        (read-only; ADDR is 127.0.0.1 unless given, 0.0.0.0\n"
                          "                        opens it to the network)\n"
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
