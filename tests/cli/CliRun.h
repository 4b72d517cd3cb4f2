#pragma once

#include "support/ChildProcess.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>

namespace thermo4::cli::test {

/// How a run of thermo4-cli ended.
struct CliRun {
    /// The exit status; -1 when the process crashed or did not end.
    int exitCode = -1;
    QString out;
    QString err;
};

/// Settings of one run beyond the arguments.
struct CliRunOptions {
    /// LC_ALL and LANG; a comma-decimal locale by default, so any locale leak shows.
    QString locale = QStringLiteral("de_DE.UTF-8");
    /// Standard output goes to this file instead of being captured (e.g. /dev/full).
    QString stdoutFile;
    /// Runs in the child before the program starts (limits, signal dispositions).
    std::function<void()> childSetup;
    /// Environment variables the child does not get; others it gets with these values.
    QStringList unset;
    QProcessEnvironment extra;
};

/// Runs the built thermo4-cli to its end (at most a minute).
inline CliRun RunCli(const QStringList& args, const CliRunOptions& options = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), options.locale);
    env.insert(QStringLiteral("LANG"), options.locale);
    for (const QString& name : options.unset)
        env.remove(name);
    env.insert(options.extra);
    process.setProcessEnvironment(env);
    if (!options.stdoutFile.isEmpty())
        process.setStandardOutputFile(options.stdoutFile);
    if (options.childSetup)
        process.setChildProcessModifier(options.childSetup);
    process.start(QStringLiteral(THERMO4_CLI_PATH), args);
    CliRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("did not finish");
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

/// The demo collection file that graph, export and print read.
inline const QString kDemo = QStringLiteral(THERMO4_SOURCE_DIR "/resources/scenarios/demo.ch4");

/// A run without a display and without a chosen platform: the command must pick offscreen itself.
inline CliRunOptions NoDisplay() {
    CliRunOptions options;
    options.unset = {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("DISPLAY"),
                     QStringLiteral("WAYLAND_DISPLAY")};
    return options;
}

/// A child setup: files the program writes are cut at 2 KiB (a full disk), without the signal.
inline void LimitFileSize() {
    thermo4::test::LimitFileSize(2048);
}

} // namespace thermo4::cli::test
