#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace thermo4::test {

/// What a program run to its end returned and printed.
struct ProgramRun {
    /// -1 when it did not end normally.
    int exitCode = -1;
    QString out;
    QString err;
};

/// Runs program with args to its end; one that does not end within a minute
/// (generous for a loaded machine) is killed and fails the test.
inline ProgramRun RunProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    ProgramRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not end: " << args.join(' ').toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace thermo4::test
