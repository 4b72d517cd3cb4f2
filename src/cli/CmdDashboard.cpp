#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MqttOption.h"
#include "dashboard/MeterDashboard.h"
#include "mqtt/BrokerOptions.h"
#include "web/HttpAddress.h"
#include "web/WebServer.h"

#include <QCoreApplication>

namespace thermo4::cli {

// thermo4-cli dashboard: one web page with a tile for every meter that publishes under a base topic.
int RunDashboard(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Subscribes to the meters that publish under BASE on an MQTT broker (thermo4 --mqtt and\n"
        "thermo4-cli live --mqtt with URLs mqtt://HOST/BASE/NAME) and serves one web page with a tile\n"
        "per meter: its four readings, the age of the last one, online or offline, and the alarms on.\n"
        "/api/meters gives the same as JSON. Runs until interrupted."));
    MqttOption broker(
        QStringLiteral(
            "The broker and base topic to watch, mqtt://[USER@]HOST[:PORT]/BASE (mqtts:// for TLS "
            "with the system's certificate authorities); each meter is BASE/NAME. Give the password "
            "with --%1 or in the environment variable %2.")
            .arg(QLatin1String(mqtt::kPasswordFileOption), QLatin1String(mqtt::kPasswordVariable)));
    broker.addTo(parser);
    const QCommandLineOption httpOption(
        QStringLiteral("http"),
        QStringLiteral("Serve the page at [ADDR:]PORT: 127.0.0.1 (this computer only) unless ADDR says "
                       "otherwise, e.g. 0.0.0.0:8080 for every network; port 0 takes a free one."),
        QStringLiteral("[ADDR:]PORT"));
    parser.addOption(httpOption);
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    if (!broker.isSet(parser)) {
        PrintError(QStringLiteral("dashboard needs --mqtt mqtt://HOST[:PORT]/BASE"));
        return kExitUsage;
    }
    if (!parser.isSet(httpOption)) {
        PrintError(QStringLiteral("dashboard needs --http [ADDR:]PORT"));
        return kExitUsage;
    }
    if (!broker.read(parser)) {
        return kExitUsage;
    }
    QString error;
    const std::optional<web::HttpAddress> address = web::HttpAddress::parse(parser.value(httpOption), &error);
    if (!address) {
        PrintError(error);
        return kExitUsage;
    }

    // The port is taken before the broker is asked, so a port in use ends the command at once.
    web::WebServer server;
    if (!server.listen(*address, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    web::HttpAddress listening = *address;
    listening.port = server.port();
    const QString page = QStringLiteral("http://%1/").arg(listening.text());
    if (listening.openToNetwork()) {
        PrintError(QStringLiteral("the dashboard at %1 is open to the network: anyone who can reach this "
                                  "computer can read it")
                       .arg(page));
    }
    dashboard::MeterDashboard meters(*broker.broker());
    QObject::connect(&meters.subscriber(), &mqtt::MqttSubscriber::statusMessage,
                     [](const QString& text) { PrintError(text); });
    if (!meters.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    meters.serveOn(server);
    PrintError(QStringLiteral("dashboard of %1 at %2").arg(broker.broker()->displayName(), page));
    return QCoreApplication::exec();
}

} // namespace thermo4::cli
