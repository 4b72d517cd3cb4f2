#pragma once

#include <QByteArray>
#include <QFile>

namespace thermo4::formats {

/// Reads an open file from its position to its end, at most maxBytes bytes. Memory is taken
/// for what the file holds, not for maxBytes: QIODevice::read(maxBytes) allocates the whole
/// limit up front. A file that grew since it was opened is read on up to the limit.
QByteArray ReadAtMost(QFile& file, qint64 maxBytes);

} // namespace thermo4::formats
