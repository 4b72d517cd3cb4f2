#include "formats/BoundedRead.h"

#include <algorithm>

namespace thermo4::formats {

QByteArray ReadAtMost(QFile& file, qint64 maxBytes) {
    if (maxBytes <= 0)
        return {};
    // What the file holds now and one byte more, which shows whether it grew since.
    const qint64 held = std::max<qint64>(0, file.size() - file.pos());
    QByteArray bytes = file.read(std::min(held + 1, maxBytes));
    if (bytes.size() > held && bytes.size() < maxBytes)
        bytes += file.read(maxBytes - bytes.size());
    return bytes;
}

} // namespace thermo4::formats
