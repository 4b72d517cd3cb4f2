#pragma once

#include <QByteArray>
#include <QString>

namespace thermo4::formats {

/// Writes a graph file (.ghf, also the graph template): a 4-byte little-endian
/// length N, then the N bytes of the graph control's stored state. The old file
/// is replaced only once the new one is complete. Returns the empty text on
/// success, otherwise the message for the application's error box.
QString WriteGraphFile(const QString& path, const QByteArray& block);

/// Reads the state block of a graph file into block. A missing file, a folder,
/// a device or pipe, a file shorter than its length field or a length beyond
/// maxBlockBytes fails with the message for the error box; block is then empty.
bool ReadGraphFile(const QString& path, qint64 maxBlockBytes, QByteArray& block, QString* error = nullptr);

} // namespace thermo4::formats
