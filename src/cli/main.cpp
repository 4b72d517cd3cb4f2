#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "core/FileName.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>

namespace thermo4::cli {

namespace {

QString topLevelHelp() {
    QString text = QStringLiteral("Usage: thermo4-cli <command> [options]\n\nCommands:\n");
    for (const CliCommand& command : CliCommands()) {
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command.name), -10)
                    .arg(QString::fromLatin1(command.summary));
    }
    text += QStringLiteral("\n'thermo4-cli <command> --help' describes a command's options;\n"
                           "'thermo4-cli --version' prints the version.\n");
    return text;
}

/// A command whose output could not be written has failed, whatever it returned.
int CheckStdout(int code) {
    if (const QString error = StdoutError(); !error.isEmpty()) {
        PrintError(QStringLiteral("cannot write to standard output: %1").arg(error));
        return code == kExitOk ? kExitFailure : code;
    }
    return code;
}

} // namespace

int RunCli(const QStringList& arguments) {
    const QString first = arguments.value(1);
    if (first.isEmpty()) {
        PrintError(QStringLiteral("no command given; see thermo4-cli --help"));
        return kExitUsage;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        PrintOut(topLevelHelp());
        return CheckStdout(kExitOk);
    }
    if (first == QLatin1String("--version") || first == QLatin1String("-v")) {
        PrintOut(QStringLiteral("thermo4-cli %1\n").arg(QStringLiteral(THERMO4_VERSION)));
        return CheckStdout(kExitOk);
    }
    for (const CliCommand& command : CliCommands()) {
        if (first == QLatin1String(command.name)) {
            QStringList args = arguments.mid(2);
            args.prepend(QStringLiteral("thermo4-cli ") + first);
            const int code = command.run(args);
            return CheckStdout(code);
        }
    }
    PrintError(QStringLiteral("unknown command \"%1\"; see thermo4-cli --help").arg(first));
    return kExitUsage;
}

} // namespace thermo4::cli

int main(int argc, char* argv[]) {
    // Only graph and print draw widgets, which need a GUI application; they draw offscreen unless
    // the user chose a platform. Every other command runs without one, so needs no display.
    const bool draws = argc > 1 && (std::strcmp(argv[1], "graph") == 0 || std::strcmp(argv[1], "print") == 0);
    if (draws && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (draws) {
        // Qt's notes on the offscreen platform (no XDG_RUNTIME_DIR, a painter that did not start)
        // would come before the command's own one-line report of a failure: only Qt's errors pass.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        });
    }
    const std::unique_ptr<QCoreApplication> app =
        draws ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("thermo4-cli"));
    // From the bytes, not QCoreApplication::arguments(), which turns a file name that is
    // not UTF-8 into another name.
    QStringList arguments = thermo4::core::ArgumentsFromArgv(argc, argv);
    arguments.prepend(QStringLiteral("thermo4-cli"));
    return thermo4::cli::RunCli(arguments);
}
