#include "core/MemoryDecoder.h"

#include "core/Bcd.h"
#include "core/MeterStatus.h"
#include "core/TDateTime.h"

namespace thermo4::core {

namespace {

struct RecordPlace {
    std::size_t position;
    std::size_t pointCount;
};

int bcdOr(std::uint8_t byte, int fallback) {
    return DecodeBcd(byte).value_or(fallback);
}

DataSet decodeHeader(std::span<const std::uint8_t> rec, const QDateTime& fallbackNow) {
    DataSet set;
    const std::uint8_t typeByte = rec[11];
    set.thermocoupleType = typeByte & 0x0F;
    set.celsius = (typeByte & 0x10) != 0;
    for (std::size_t c = 0; c < 4; ++c) {
        set.offsets[c] = static_cast<std::int8_t>(rec[14 + c]);
    }
    set.intervalSeconds = rec[9] * 60 + rec[10];
    set.pointCount = (rec[12] << 8) | rec[13];

    // A field that is not BCD takes the fallback clock's field; the hour too.
    const QDate fbDate = fallbackNow.date();
    const QTime fbTime = fallbackNow.time();
    const QDate date(bcdOr(rec[3], fbDate.year() - 2000) + 2000, bcdOr(rec[4], fbDate.month()),
                     bcdOr(rec[5], fbDate.day()));
    const QTime time(bcdOr(rec[6], fbTime.hour()), bcdOr(rec[7], fbTime.minute()),
                     bcdOr(rec[8], fbTime.second()));
    // A date or time that does not exist (month 13, 31 April, hour 24) is replaced whole.
    set.startTime = date.isValid() && time.isValid() ? TDateTimeFromDateAndTime(date, time)
                                                     : TDateTimeFromDateTime(fallbackNow);
    return set;
}

} // namespace

// Records are found by arithmetic alone: the first at 0xB00, each next one right
// after the last byte of the previous (20 + 8n bytes for n points). A record that
// would run past the end of the image (a count in the header larger than the
// bytes hold, or an image cut short) is dropped together with every record after
// it; the complete records before it are kept. If not even the first record is
// complete the result is kDecodeTooManySets and the collection is left alone,
// like any other failed decode.
int DecodeMemoryImage(const MemoryImage& image, DataSetCollection& collection, const QDateTime& fallbackNow,
                      DecodeDetails* details) {
    DecodeDetails found;
    const std::span<const std::uint8_t> bytes = image.bytes();
    const int announced = MemoryDataSetCount(bytes);
    found.announcedSets = announced;
    auto finish = [&](int code) {
        if (details != nullptr) {
            *details = found;
        }
        return code;
    };
    if (announced == 0) {
        return finish(kDecodeNoDataSet);
    }
    if (announced > kMaxDataSets) {
        return finish(kDecodeTooManySets);
    }

    std::vector<DataSet> headers;
    std::vector<RecordPlace> places;
    headers.reserve(static_cast<std::size_t>(announced));
    places.reserve(static_cast<std::size_t>(announced));
    std::size_t position = kFirstRecordOffset;
    std::size_t totalPoints = 0;
    for (int i = 0; i < announced; ++i) {
        if (position > bytes.size() || bytes.size() - position < kRecordOverhead) {
            break;
        }
        const std::size_t n = (std::size_t{bytes[position + 12]} << 8) | bytes[position + 13];
        const std::size_t length = kRecordOverhead + kBytesPerPoint * n;
        if (bytes.size() - position < length) {
            break;
        }
        headers.push_back(decodeHeader(bytes.subspan(position, kRecordOverhead), fallbackNow));
        places.push_back({position, n});
        totalPoints += n;
        position += length;
    }
    found.decodedSets = static_cast<int>(headers.size());
    if (headers.empty()) {
        return finish(kDecodeTooManySets);
    }

    std::vector<float> values;
    std::vector<double> times;
    values.reserve(4 * totalPoints);
    times.reserve(4 * totalPoints);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        const DataSet& set = headers[i];
        const double step = set.intervalSeconds / kSecondsPerDay;
        const std::uint8_t* p = bytes.data() + places[i].position + 18;
        for (std::size_t k = 0; k < places[i].pointCount; ++k) {
            const double t = set.startTime + static_cast<double>(k) * step;
            for (int c = 0; c < 4; ++c, p += 2) {
                // Tenths of °F; each step rounded to single precision.
                float v = static_cast<float>(ReadingFromBytes(p[0], p[1]) * 0.1);
                if (set.celsius) {
                    v = static_cast<float>((static_cast<double>(v) - 32.0) * 5.0 / 9.0);
                }
                values.push_back(v);
                times.push_back(t);
            }
        }
    }

    collection = DataSetCollection(std::move(headers), std::move(values), std::move(times));
    return finish(kDecodeOk);
}

} // namespace thermo4::core
