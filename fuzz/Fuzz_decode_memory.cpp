// Memory images of any content decode without reading past the image, and a
// successful decode holds exactly four values and times per point.
#include "core/DataSetTable.h"
#include "core/MemoryDecoder.h"

#include <algorithm>
#include <cstdlib>

using namespace thermo4::core;

namespace {

void check(const MemoryImage& image) {
    static const QDateTime fallback(QDate(2030, 6, 15), QTime(12, 30, 45));
    DataSetCollection collection;
    DecodeDetails details;
    const int code = DecodeMemoryImage(image, collection, fallback, &details);
    if (code != kDecodeOk) {
        if ((code != kDecodeNoDataSet && code != kDecodeTooManySets) || !collection.isEmpty()) {
            std::abort();
        }
        return;
    }
    std::size_t points = 0;
    for (int i = 0; i < collection.count(); ++i) {
        points += static_cast<std::size_t>(collection.header(i).pointCount);
        if (collection.valuesOf(i).size() != 4 * static_cast<std::size_t>(collection.header(i).pointCount)) {
            std::abort();
        }
    }
    if (collection.count() != details.decodedSets || details.decodedSets > details.announcedSets ||
        collection.values().size() != 4 * points || collection.times().size() != 4 * points) {
        std::abort();
    }
    (void)DataSetTableRow(1, collection.header(0), QLocale::c());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    // The input as it stands: mostly images shorter than the first record.
    check(MemoryImage(std::vector<std::uint8_t>(input.begin(), input.end())));
    // The input's first 16 bytes as the memory header and the rest as the
    // records from 0xB00, so that short inputs reach the record walk.
    const std::size_t head = std::min<std::size_t>(size, 16);
    std::vector<std::uint8_t> image(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(head));
    image.resize(kFirstRecordOffset, 0);
    image.insert(image.end(), input.begin() + static_cast<std::ptrdiff_t>(head), input.end());
    check(MemoryImage(std::move(image)));
    return 0;
}
