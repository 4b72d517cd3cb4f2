// thermo4-sim: the virtual meter on a pseudo-terminal, for trying the serial
// link without a meter. Prints the terminal's path on the first line of stdout.

#include "core/FileName.h"
#include "link/SystemClock.h"
#include "sim/PtyMeterServer.h"
#include "sim/Scenario.h"
#include "sim/VirtualMeter.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

thermo4::sim::PtyMeterServer* g_server = nullptr;

extern "C" void onStopSignal(int) {
    if (g_server != nullptr)
        g_server->stop();
}

void printError(const QString& message) {
    const QByteArray line = thermo4::core::FileNameBytes(QStringLiteral("thermo4-sim: %1\n").arg(message));
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

/// Prints text on stdout; false when it did not get there whole (a full disk, a closed stdout).
bool printOut(const QByteArray& text) {
    errno = 0;
    if (std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout) == std::size_t(text.size()) &&
        std::fflush(stdout) == 0)
        return true;
    printError(QStringLiteral("cannot write to standard output: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO))));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace thermo4;
    // Before anything opens a file: a closed stdout would make the next descriptor (the
    // terminal itself, say) stand in for it, and the path would go there unseen.
    if (::fcntl(STDOUT_FILENO, F_GETFD) < 0) {
        printError(QStringLiteral("standard output is closed: the terminal's path cannot be printed"));
        return 1;
    }
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
    // From the bytes: a scenario whose name is not UTF-8 is still found.
    QStringList arguments = core::ArgumentsFromArgv(argc, argv);
    arguments.prepend(QStringLiteral("thermo4-sim"));
    // A wrong command line ends with status 2, as in the other programs.
    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        return 2;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return printOut(parser.helpText().toUtf8()) ? 0 : 1;
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

    // The path is the only way to reach the meter: without it, serving is pointless.
    if (!printOut(core::FileNameBytes(server.path()) + '\n'))
        return 1;
    const bool served = server.run(&error);
    g_server = nullptr;
    if (!served) {
        printError(error);
        return 1;
    }
    return 0;
}
