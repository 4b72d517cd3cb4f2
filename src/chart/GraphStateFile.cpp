#include "chart/GraphStateFile.h"

#include "chart/Graph1.h"
#include "chart/GraphState.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace thermo4::chart {

namespace {
bool fail(QString* error, const QString& message) {
    if (error)
        *error = message;
    return false;
}
} // namespace

bool StoreGraphState(const Graph1& control, const QString& path, QString* error) {
    const QByteArray block = control.storeState();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("Cannot create file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    uchar length[4];
    qToLittleEndian(quint32(block.size()), length);
    if (file.write(reinterpret_cast<const char*>(length), 4) != 4 || file.write(block) != block.size()) {
        file.cancelWriting();
        return fail(error, QStringLiteral("Error writing file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    if (!file.commit())
        return fail(error, QStringLiteral("Error writing file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}

bool LoadGraphState(Graph1& control, const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, QStringLiteral("Cannot open file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    uchar length[4];
    if (file.read(reinterpret_cast<char*>(length), 4) != 4)
        return fail(error, QStringLiteral("Stream read error: \"%1\" is too short to be a graph file.")
                               .arg(QDir::toNativeSeparators(path)));
    const quint32 size = qFromLittleEndian<quint32>(length);
    // Compare with the file before allocating, so a damaged length field cannot ask for gigabytes.
    if (qint64(size) > kMaxStateBytes)
        return fail(error, QStringLiteral("\"%1\" is not a valid graph file: its length field is too large.")
                               .arg(QDir::toNativeSeparators(path)));
    if (qint64(size) > file.size() - 4)
        return fail(error, QStringLiteral("Stream read error: \"%1\" is shorter than its length field.")
                               .arg(QDir::toNativeSeparators(path)));
    const QByteArray block = file.read(qint64(size));
    if (block.size() != qsizetype(size))
        return fail(error, QStringLiteral("Stream read error: \"%1\" could not be read. %2")
                               .arg(QDir::toNativeSeparators(path), file.errorString()));
    QString why;
    if (!control.loadState(block, &why))
        return fail(
            error,
            QStringLiteral("\"%1\" is not a valid graph file: %2.").arg(QDir::toNativeSeparators(path), why));
    return true;
}

} // namespace thermo4::chart
