#pragma once

#include <QByteArray>
#include <QString>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace thermo4::test {

/// Files this process writes may not grow past bytes: write() then fails with EFBIG, as on a
/// full disk, instead of the process being killed by SIGXFSZ. For a child process only.
inline void LimitFileSize(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

/// What run() returns, run in a child process whose files may not grow past fileLimit bytes
/// (0: no limit): write() then fails with EFBIG, as on a full disk. Limits, mounts and other
/// changes the run makes stay out of the test process.
inline QString InChild(const std::function<QString()>& run, rlim_t fileLimit = 0) {
    int fds[2];
    if (::pipe(fds) != 0)
        return QStringLiteral("<no pipe>");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (fileLimit > 0)
            LimitFileSize(fileLimit);
        const QByteArray text = run().toUtf8();
        [[maybe_unused]] const auto n = ::write(fds[1], text.constData(), std::size_t(text.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray text;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? QString::fromUtf8(text) : QStringLiteral("<child crashed>");
}

} // namespace thermo4::test
