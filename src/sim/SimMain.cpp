// thermo4-sim: the virtual meter on a pseudo-terminal, for trying the serial
// link without a meter. Prints the terminal's path on the first line of stdout.

#include "link/SystemClock.h"
#include "sim/PtyMeterServer.h"
#include "sim/Scenario.h"
#include "sim/VirtualMeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace {

thermo4::sim::PtyMeterServer* g_server = nullptr;

extern "C" void onStopSignal(int) {
    if (g_server != nullptr)
        g_server->stop();
}

void printError(const QString& message) {
    std::fprintf(stderr, "thermo4-sim: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace thermo4;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("thermo4-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves the virtual meter on a pseudo-terminal, as the meter answers on a serial line.\n"
        "The first line of output is the terminal's path: give it to thermo4-cli --port, or\n"
        "type it into the program's device list. Runs until interrupted (Ctrl+C) or terminated."));
    parser.addHelpOption();
    const QCommandLineOption paceOption(
        QStringLiteral("pace"), QStringLiteral("Hold every reply to 9600-baud line time (1.04 ms a byte)."));
    parser.addOption(paceOption);
    parser.addPositionalArgument(QStringLiteral("SCENARIO"),
                                 QStringLiteral("A scenario file (.json) the virtual meter runs from."),
                                 QStringLiteral("[SCENARIO]"));
    parser.process(app);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        printError(QStringLiteral("at most one scenario file; see thermo4-sim --help"));
        return 2;
    }

    link::SystemClock clock;
    QString error;
    const auto meter = sim::MakeVirtualMeter(clock, positional.value(0), &error);
    if (!meter) {
        printError(error);
        return 1;
    }
    sim::PtyMeterServer server(*meter);
    server.setPaced(parser.isSet(paceOption));
    if (!server.open(&error)) {
        printError(error);
        return 1;
    }

    g_server = &server;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    std::printf("%s\n", qPrintable(server.path()));
    std::fflush(stdout);
    const bool served = server.run(&error);
    g_server = nullptr;
    if (!served) {
        printError(error);
        return 1;
    }
    return 0;
}
