#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace thermo4::fuzz {

/// A folder of this process's own for the files a target writes, removed at exit.
inline const QTemporaryDir& WorkFolder() {
    static const QTemporaryDir folder;
    if (!folder.isValid())
        std::abort();
    return folder;
}

/// Replaces the file at path with exactly these bytes.
inline void WriteWholeFile(const QString& path, const std::uint8_t* data, std::size_t size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
}

} // namespace thermo4::fuzz
