#include "mqtt/BrokerOptions.h"

#include "core/FileName.h"

#include <QUrl>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo4::mqtt {

namespace {

/// More than any password; a longer first line is refused rather than cut.
constexpr qsizetype kMaxPasswordFileBytes = 4096;

std::nullopt_t fail(QString* error, const QString& message) {
    if (error != nullptr) {
        *error = message;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> ReadPasswordFile(const QString& path, QString* error) {
    // Non-blocking, so that a FIFO given by mistake is refused instead of waited on.
    const int fd = ::open(core::FileNameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return fail(error, QStringLiteral("%1: %2").arg(path, qt_error_string(errno)));
    }
    struct stat info {};
    std::optional<QString> password;
    if (::fstat(fd, &info) != 0) {
        fail(error, QStringLiteral("%1: %2").arg(path, qt_error_string(errno)));
    } else if (!S_ISREG(info.st_mode)) {
        fail(error, QStringLiteral("%1: not a regular file").arg(path));
    } else if ((info.st_mode & (S_IRGRP | S_IROTH)) != 0) {
        fail(error, QStringLiteral("%1 may be read by other users (mode %2): make it private with chmod 600")
                        .arg(path)
                        .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0')));
    } else {
        QByteArray bytes(kMaxPasswordFileBytes + 1, Qt::Uninitialized);
        qsizetype size = 0;
        while (size < bytes.size()) {
            const ssize_t got =
                ::read(fd, bytes.data() + size, static_cast<std::size_t>(bytes.size() - size));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                if (got < 0) {
                    size = -1;
                }
                break;
            }
            size += got;
        }
        if (size < 0) {
            fail(error, QStringLiteral("%1: %2").arg(path, qt_error_string(errno)));
        } else {
            bytes.truncate(size);
            const qsizetype end = bytes.indexOf('\n');
            QByteArray line = end < 0 ? bytes : bytes.left(end);
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            if (end < 0 && size > kMaxPasswordFileBytes) {
                fail(error, QStringLiteral("%1: the first line is longer than %2 bytes")
                                .arg(path)
                                .arg(kMaxPasswordFileBytes));
            } else if (line.isEmpty()) {
                fail(error, QStringLiteral("%1: no password on the first line").arg(path));
            } else {
                password = QString::fromUtf8(line);
            }
        }
    }
    ::close(fd);
    return password;
}

std::optional<BrokerUrl> BrokerFromOptions(const QString& url, const QString& passwordFile,
                                           const QString& environmentPassword, QString* error,
                                           QString* warning) {
    const QUrl given(url.trimmed(), QUrl::StrictMode);
    QString password = environmentPassword;
    if (!passwordFile.isEmpty()) {
        const auto fileFault = [&](const QString& reason) {
            return fail(error, QStringLiteral("--%1: %2").arg(QLatin1String(kPasswordFileOption), reason));
        };
        QString reason;
        const std::optional<QString> fromFile = ReadPasswordFile(passwordFile, &reason);
        if (!fromFile) {
            fileFault(reason);
            return std::nullopt;
        }
        if (given.isValid() && given.userName().isEmpty()) {
            fileFault(QStringLiteral("a password needs a user name in the broker URL (mqtt://USER@HOST/…)"));
            return std::nullopt;
        }
        password = *fromFile;
    }
    QString reason;
    std::optional<BrokerUrl> broker = BrokerUrl::parse(url, password, &reason);
    if (!broker) {
        fail(error, QStringLiteral("--mqtt: %1").arg(reason));
        return std::nullopt;
    }
    if (warning != nullptr && !given.password().isEmpty()) {
        *warning = QStringLiteral("--mqtt: the password in the URL is visible to every user of this computer "
                                  "in the list of processes; give it in a file only you can read "
                                  "(--%1 FILE) or in the environment variable %2 instead")
                       .arg(QLatin1String(kPasswordFileOption), QLatin1String(kPasswordVariable));
    }
    return broker;
}

} // namespace thermo4::mqtt
