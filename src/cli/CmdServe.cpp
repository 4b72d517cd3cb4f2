#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessPoll.h"
#include "cli/HttpOption.h"
#include "cli/MeterPollCommand.h"
#include "session/MeterSession.h"
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
    HttpOption http(QStringLiteral("serve"));
    http.addTo(parser);
    command.addTo(parser);
    if (auto done = command.parse(parser)) {
        return *done;
    }
    if (!http.read(parser) || !command.read(parser)) {
        return kExitUsage;
    }

    // The server comes first: a port in use ends the command before the meter is touched.
    web::WebServer server;
    web::LiveFeed feed;
    feed.serveOn(server);
    if (!http.listen(server, QStringLiteral("live page")) ||
        !PrintOut(QStringLiteral("Live page: %1\n").arg(server.address().url()))) {
        return kExitFailure;
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
