#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HttpOption.h"
#include "cli/MqttOption.h"
#include "dashboard/MeterDashboard.h"
#include "mqtt/BrokerOptions.h"
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
    HttpOption http(QStringLiteral("dashboard"));
    http.addTo(parser);
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    if (!broker.isSet(parser)) {
        PrintError(QStringLiteral("dashboard needs --mqtt mqtt://HOST[:PORT]/BASE"));
        return kExitUsage;
    }
    if (!http.read(parser) || !broker.read(parser)) {
        return kExitUsage;
    }

    // The port is taken before the broker is asked, so a port in use ends the command at once.
    web::WebServer server;
    if (!http.listen(server, QStringLiteral("dashboard"))) {
        return kExitFailure;
    }
    dashboard::MeterDashboard meters(*broker.broker());
    QObject::connect(&meters.subscriber(), &mqtt::MqttSubscriber::statusMessage,
                     [](const QString& text) { PrintError(text); });
    if (QString error; !meters.start(&error)) {
        PrintError(error);
        return kExitFailure;
    }
    meters.serveOn(server);
    PrintError(
        QStringLiteral("dashboard of %1 at %2").arg(broker.broker()->displayName(), server.address().url()));
    return QCoreApplication::exec();
}

} // namespace thermo4::cli
