#include "formats/GraphFile.h"

#include "formats/FileSystem.h"
#include "formats/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cerrno>

namespace thermo4::formats {

namespace {

constexpr qint64 kLengthBytes = 4;

bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}

} // namespace

QString WriteGraphFile(const QString& path, const QByteArray& block) {
    uchar length[kLengthBytes];
    qToLittleEndian(quint32(block.size()), length);
    SafeFileWriter writer(path);
    if (writer.open() && writer.write(QByteArrayView(reinterpret_cast<const char*>(length), kLengthBytes)) &&
        writer.write(block) && writer.commit())
        return {};
    return writer.error();
}

bool ReadGraphFile(const QString& path, qint64 maxBlockBytes, QByteArray& block, QString* error) {
    block.clear();
    const QString name = QDir::toNativeSeparators(path);
    QFile file;
    switch (QString why; OpenRegularFile(path, file, &why)) {
    case FileOpen::Opened:
        break;
    case FileOpen::NotRegular:
        return fail(error, QStringLiteral("Cannot open file \"%1\". It is not a regular file.").arg(name));
    case FileOpen::Missing:
        return fail(error, QStringLiteral("Cannot open file \"%1\". %2").arg(name, SystemReason(ENOENT)));
    case FileOpen::Failed:
        return fail(error, QStringLiteral("Cannot open file \"%1\". %2").arg(name, why));
    }
    uchar length[kLengthBytes];
    if (file.read(reinterpret_cast<char*>(length), kLengthBytes) != kLengthBytes)
        return fail(error,
                    QStringLiteral("Stream read error: \"%1\" is too short to be a graph file.").arg(name));
    const quint32 size = qFromLittleEndian<quint32>(length);
    // Compare with the file before allocating, so a damaged length field cannot ask for gigabytes.
    if (qint64(size) > maxBlockBytes)
        return fail(
            error,
            QStringLiteral("\"%1\" is not a valid graph file: its length field is too large.").arg(name));
    if (qint64(size) > file.size() - kLengthBytes)
        return fail(error,
                    QStringLiteral("Stream read error: \"%1\" is shorter than its length field.").arg(name));
    block = file.read(qint64(size));
    if (block.size() != qsizetype(size)) {
        block.clear();
        return fail(
            error,
            QStringLiteral("Stream read error: \"%1\" could not be read. %2").arg(name, file.errorString()));
    }
    return true;
}

} // namespace thermo4::formats
