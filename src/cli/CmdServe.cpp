#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessPoll.h"
#include "cli/MeterPollCommand.h"
#include "session/MeterSession.h"
#include "web/HttpAddress.h"
#include "web/LiveFeed.h"
#include "web/WebServer.h"

namespace thermo4::cli {

// thermo4-cli serve: the poll without a window, its readings on a live web page.
int RunServe(const QStringList& arguments) {
    MeterPollCommand command(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Polls the meter every 500 ms, as live does, and serves its live page over HTTP until\n"
        "interrupted: / the page, /api/live the latest reading as JSON, /api/history?minutes=N\n"
        "(1 to 60), /api/status, and /api/events, a stream of Server-Sent Events. The pages\n"
        "are read-only. The page says \"Meter lost\" while the meter does not answer; the\n"
        "command goes on polling until it comes back. The meter is the one on USB unless\n"
        "--simulate or --port DEV (the meter on a serial device) says otherwise."));
    const QCommandLineOption httpOption(
        QStringLiteral("http"),
        QStringLiteral("Serve on [ADDR:]PORT; ADDR is 127.0.0.1 unless given (0.0.0.0: every network, "
                       "[::1]: IPv6 loopback); PORT 0 picks a free one."),
        QStringLiteral("[ADDR:]PORT"));
    parser.addOption(httpOption);
    command.addTo(parser);
    if (auto done = command.parse(parser)) {
        return *done;
    }
    if (!parser.isSet(httpOption)) {
        PrintError(QStringLiteral("serve needs --http [ADDR:]PORT, e.g. --http 8080"));
        return kExitUsage;
    }
    QString error;
    const std::optional<web::HttpAddress> address = web::HttpAddress::parse(parser.value(httpOption), &error);
    if (!address) {
        PrintError(error);
        return kExitUsage;
    }
    if (!command.read(parser)) {
        return kExitUsage;
    }

    // The server comes first: a port in use ends the command before the meter is touched.
    web::WebServer server;
    web::LiveFeed feed;
    feed.serveOn(server);
    if (!server.listen(*address, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    web::HttpAddress bound = *address;
    bound.port = server.port();
    if (!PrintOut(QStringLiteral("Live page: http://%1/\n").arg(bound.text()))) {
        return kExitFailure;
    }
    if (address->openToNetwork()) {
        PrintError(
            QStringLiteral("The live page is open to the network: anyone who reaches this machine on port "
                           "%1 can see the readings.")
                .arg(bound.port));
    }

    HeadlessPoll poll;
    poll.processEvents = true;
    poll.meterSilent = [&feed, &command] {
        feed.setMeterState(web::LiveFeed::MeterState::Lost);
        command.alarms().meterLost(command.clock().now());
        feed.setAlarms(command.alarms().active());
    };
    if (auto failed = command.start(poll)) {
        return *failed;
    }
    session::MeterSession& session = command.session();
    mqtt::MeterIdentity identity;
    identity.link = command.linkName();
    feed.setMeter(identity);
    // After the alarms' own connection (made in start), so the alarms on include this reading's.
    QObject::connect(&session, &session::MeterSession::reading, &feed,
                     [&feed, &command, identity](const session::Reading& reading) mutable {
                         identity.serial = command.meter().meterName();
                         feed.setMeter(identity);
                         feed.addReading(reading.time, reading.status);
                         feed.setAlarms(command.alarms().active());
                     });
    QObject::connect(&session, &session::MeterSession::connectionChanged, &feed,
                     [&feed](session::ConnectionChange change) {
                         if (change == session::ConnectionChange::Lost) {
                             feed.setMeterState(web::LiveFeed::MeterState::Lost);
                         }
                     });
    const auto end = poll.run(session, command.clock(), [](const QString&) { return true; });
    return command.finish(end, poll);
}

} // namespace thermo4::cli
