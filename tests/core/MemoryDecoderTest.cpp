#include "core/MemoryDecoder.h"
#include "ImageBuilder.h"
#include "core/TDateTime.h"

#include <gtest/gtest.h>

using namespace thermo4::core;
using thermo4::test::ImageBuilder;
using thermo4::test::ImageRecord;
using thermo4::test::RampRecord;

namespace {

const QDateTime kFallback(QDate(2031, 11, 22), QTime(7, 48, 56, 250));

struct Decoded {
    int code;
    DataSetCollection collection;
    DecodeDetails details;
};

Decoded decodeImage(const MemoryImage& image) {
    Decoded d{-1, {}, {}};
    d.code = DecodeMemoryImage(image, d.collection, kFallback, &d.details);
    return d;
}

float celsiusOf(int tenthsF) {
    const double f = static_cast<float>(tenthsF * 0.1);
    return static_cast<float>((f - 32.0) * 5.0 / 9.0);
}

// Date and time bytes are BCD; a field that is not BCD takes the fallback
// clock's field (the year its full year); a date-time that does not exist takes
// the fallback clock whole.
TEST(DecodeMemoryImage, StartTimeFromBcdWithFallbacks) {
    struct Row {
        std::array<std::uint8_t, 6> bytes;
        QDateTime expected;
    };
    const auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
    };
    const Row rows[] = {
        {{0x17, 0x03, 0x09, 0x14, 0x05, 0x30}, at(2017, 3, 9, 14, 5, 30)},
        {{0x99, 0x12, 0x31, 0x23, 0x59, 0x59}, at(2099, 12, 31, 23, 59, 59)},
        {{0x24, 0x02, 0x29, 0x00, 0x00, 0x00}, at(2024, 2, 29, 0, 0, 0)},
        {{0xA0, 0x03, 0x09, 0x14, 0x05, 0x30}, at(2031, 3, 9, 14, 5, 30)},
        {{0x17, 0x1A, 0x09, 0x14, 0x05, 0x30}, at(2017, 11, 9, 14, 5, 30)},
        {{0x17, 0x03, 0x0F, 0x14, 0x05, 0x30}, at(2017, 3, 22, 14, 5, 30)},
        {{0x17, 0x03, 0x09, 0x2A, 0x05, 0x30}, at(2017, 3, 9, 7, 5, 30)},
        {{0x17, 0x03, 0x09, 0x14, 0x6A, 0x30}, at(2017, 3, 9, 14, 48, 30)},
        {{0x17, 0x03, 0x09, 0x14, 0x05, 0xF0}, at(2017, 3, 9, 14, 5, 56)},
        {{0x17, 0x13, 0x09, 0x14, 0x05, 0x30}, kFallback}, // month 13
        {{0x17, 0x00, 0x09, 0x14, 0x05, 0x30}, kFallback}, // month 0
        {{0x17, 0x04, 0x31, 0x14, 0x05, 0x30}, kFallback}, // 31 April
        {{0x23, 0x02, 0x29, 0x14, 0x05, 0x30}, kFallback}, // 29 February 2023
        {{0x17, 0x03, 0x09, 0x24, 0x05, 0x30}, kFallback}, // hour 24
        {{0x17, 0x03, 0x09, 0x14, 0x60, 0x30}, kFallback}, // minute 60
        {{0x17, 0x03, 0x09, 0x14, 0x05, 0x60}, kFallback}, // second 60
        {{0x17, 0xA1, 0x31, 0x14, 0x05, 0x30}, kFallback}, // fallback month (November) has no 31st
    };
    for (const Row& row : rows) {
        ImageRecord r;
        r.dateTime = row.bytes;
        const Decoded d = decodeImage(ImageBuilder().add(r).image());
        ASSERT_EQ(d.code, kDecodeOk);
        EXPECT_EQ(DateTimeFromTDateTime(d.collection.header(0).startTime), row.expected)
            << QByteArray(reinterpret_cast<const char*>(row.bytes.data()), 6).toHex().toStdString();
    }
}

TEST(DecodeMemoryImage, TypeUnitIntervalAndOffsets) {
    struct Row {
        std::uint8_t typeByte;
        std::uint8_t type;
        bool celsius;
    };
    for (const Row& row :
         {Row{0x13, 3, true}, Row{0x08, 8, false}, Row{0xFF, 15, true}, Row{0xE6, 6, false}}) {
        ImageRecord r = RampRecord(1);
        r.typeByte = row.typeByte;
        r.intervalMinutes = 0x01;
        r.intervalSeconds = 0x1E;
        r.offsets = {5, 0, -9, -128};
        const Decoded d = decodeImage(ImageBuilder().add(r).image());
        ASSERT_EQ(d.code, kDecodeOk);
        const DataSet& set = d.collection.header(0);
        EXPECT_EQ(set.thermocoupleType, row.type);
        EXPECT_EQ(set.celsius, row.celsius);
        EXPECT_EQ(set.intervalSeconds, 90); // interval bytes are plain numbers, not BCD
        EXPECT_EQ(set.offsets, (std::array<std::int8_t, 4>{5, 0, -9, -128}));
        EXPECT_EQ(set.pointCount, 1);
    }
    ImageRecord longest;
    longest.intervalMinutes = 255;
    longest.intervalSeconds = 255;
    EXPECT_EQ(decodeImage(ImageBuilder().add(longest).image()).collection.header(0).intervalSeconds,
              255 * 60 + 255);
}

TEST(DecodeMemoryImage, SamplesInFahrenheitAndCelsiusSets) {
    const std::vector<std::array<std::int16_t, 4>> samples{{1000, -200, 0, 320}, {32767, -32768, 1, -1}};
    for (bool celsius : {false, true}) {
        ImageRecord r;
        r.typeByte = celsius ? 0x10 : 0x00;
        r.samples = samples;
        const Decoded d = decodeImage(ImageBuilder().add(r).image());
        ASSERT_EQ(d.code, kDecodeOk);
        const auto values = d.collection.valuesOf(0);
        ASSERT_EQ(values.size(), 8u);
        for (std::size_t i = 0; i < 8; ++i) {
            const int raw = samples[i / 4][i % 4];
            const float expected = celsius ? celsiusOf(raw) : static_cast<float>(raw * 0.1);
            EXPECT_EQ(values[i], expected) << raw; // bit for bit: single-precision steps
        }
        EXPECT_FLOAT_EQ(values[0], celsius ? 37.777779f : 100.0f);
        EXPECT_FLOAT_EQ(values[1], celsius ? -28.888889f : -20.0f);
    }
}

TEST(DecodeMemoryImage, TimesStepByTheIntervalAndRepeatPerChannel) {
    ImageRecord r = RampRecord(3);
    r.intervalMinutes = 1;
    r.intervalSeconds = 30;
    const Decoded d = decodeImage(ImageBuilder().add(r).image());
    ASSERT_EQ(d.code, kDecodeOk);
    const auto times = d.collection.timesOf(0);
    ASSERT_EQ(times.size(), 12u);
    const QDateTime start(QDate(2017, 3, 9), QTime(14, 5, 30));
    for (std::size_t i = 0; i < times.size(); ++i) {
        EXPECT_EQ(DateTimeFromTDateTime(times[i]), start.addSecs(90 * static_cast<qint64>(i / 4))) << i;
    }

    r.intervalMinutes = 0;
    r.intervalSeconds = 0;
    const Decoded still = decodeImage(ImageBuilder().add(r).image());
    for (double t : still.collection.timesOf(0)) {
        EXPECT_EQ(t, still.collection.header(0).startTime);
    }
}

TEST(DecodeMemoryImage, RecordsFollowEachOtherFrom0xB00) {
    // n = 3, then a zero-point record, then n = 1: starts at 0xB00, 0xB2C, 0xB40.
    const auto bytes =
        ImageBuilder().add(RampRecord(3, 100)).add(RampRecord(0)).add(RampRecord(1, 500)).bytes();
    ASSERT_EQ(bytes.size(), 0xB40u + 28u);
    EXPECT_EQ(bytes[0xB2C], 0xA5);
    EXPECT_EQ(bytes[0xB40], 0xA5);

    // Markers are not looked at: spoil them all, the arithmetic still finds every record.
    auto spoiled = bytes;
    for (std::size_t at : {0xB00u, 0xB01u, 0xB2Au, 0xB2Bu, 0xB2Cu, 0xB3Fu, 0xB40u, 0xB5Bu}) {
        spoiled[at] = 0x00;
    }
    for (const auto& image : {bytes, spoiled}) {
        const Decoded d = decodeImage(MemoryImage(image));
        ASSERT_EQ(d.code, kDecodeOk);
        ASSERT_EQ(d.collection.count(), 3);
        EXPECT_EQ(d.collection.header(1).pointCount, 0);
        EXPECT_EQ(d.collection.values().size(), 16u);
        EXPECT_EQ(d.collection.times().size(), 16u);
        EXPECT_EQ(d.collection.startIndex(0), 0u);
        EXPECT_EQ(d.collection.startIndex(1), 12u);
        EXPECT_EQ(d.collection.startIndex(2), 12u);
        EXPECT_TRUE(d.collection.valuesOf(1).empty());
        const auto last = d.collection.valuesOf(2);
        ASSERT_EQ(last.size(), 4u);
        EXPECT_FLOAT_EQ(last[0], celsiusOf(500));
        EXPECT_FLOAT_EQ(last[3], celsiusOf(503));
        EXPECT_FLOAT_EQ(d.collection.valuesOf(0)[11], celsiusOf(123));
    }
}

TEST(DecodeMemoryImage, DataSetCountLimits) {
    struct Row {
        int sets;
        int code;
    };
    for (const Row& row : {Row{0, kDecodeNoDataSet}, Row{1, kDecodeOk}, Row{4000, kDecodeOk},
                           Row{4001, kDecodeTooManySets}, Row{65535, kDecodeTooManySets}}) {
        ImageBuilder b;
        for (int i = 0; i < std::min(row.sets, 4001); ++i) {
            b.add(RampRecord(0));
        }
        b.announce(static_cast<std::uint16_t>(row.sets));
        const Decoded d = decodeImage(b.image());
        EXPECT_EQ(d.code, row.code) << row.sets;
        EXPECT_EQ(d.details.announcedSets, row.sets);
        EXPECT_EQ(d.collection.count(), row.code == kDecodeOk ? row.sets : 0);
    }
}

TEST(DecodeMemoryImage, FailedDecodeLeavesTheCollectionAlone) {
    DataSetCollection collection;
    ASSERT_EQ(DecodeMemoryImage(ImageBuilder().add(RampRecord(3)).add(RampRecord(5)).image(), collection,
                                kFallback),
              kDecodeOk);
    const DataSetCollection before = collection;
    ASSERT_EQ(before.startIndex(1), 12u);
    ASSERT_EQ(before.valuesOf(1).size(), 20u);

    auto cutInFirst = ImageBuilder().add(RampRecord(3)).bytes();
    cutInFirst.resize(cutInFirst.size() - 1);
    const std::vector<std::uint8_t> failing[] = {
        ImageBuilder().bytes(),                                   // no data set
        ImageBuilder().add(RampRecord(1)).announce(4001).bytes(), // too many
        cutInFirst,                                               // not one complete record
        {},                                                       // empty image
    };
    for (const auto& bytes : failing) {
        EXPECT_NE(DecodeMemoryImage(MemoryImage(bytes), collection, kFallback), kDecodeOk);
        EXPECT_EQ(collection, before);
    }
}

// The image is cut after every possible length: only complete records are kept,
// a cut inside the first record fails like any other undecodable image.
TEST(DecodeMemoryImage, ImageCutShortKeepsTheCompleteRecords) {
    const auto full = ImageBuilder().add(RampRecord(2)).add(RampRecord(0)).add(RampRecord(3)).bytes();
    const std::size_t ends[] = {0xB00 + 36, 0xB00 + 36 + 20, 0xB00 + 36 + 20 + 44}; // one past each record
    ASSERT_EQ(full.size(), ends[2]);
    for (std::size_t length = 0; length <= full.size(); ++length) {
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
        const Decoded d = decodeImage(MemoryImage(cut));
        const int complete = static_cast<int>(
            std::count_if(std::begin(ends), std::end(ends), [&](std::size_t end) { return end <= length; }));
        if (length < 10) {
            EXPECT_EQ(d.code, kDecodeNoDataSet) << length; // the header itself is missing
            continue;
        }
        EXPECT_EQ(d.details.announcedSets, 3);
        EXPECT_EQ(d.details.decodedSets, complete) << length;
        EXPECT_EQ(d.code, complete > 0 ? kDecodeOk : kDecodeTooManySets) << length;
        EXPECT_EQ(d.collection.count(), complete) << length;
    }
}

TEST(DecodeMemoryImage, PointCountLargerThanTheImageHolds) {
    ImageRecord liar = RampRecord(2);
    liar.declaredPoints = 65535;
    const Decoded alone = decodeImage(ImageBuilder().add(liar).image());
    EXPECT_EQ(alone.code, kDecodeTooManySets);
    EXPECT_EQ(alone.details.decodedSets, 0);

    const Decoded after = decodeImage(ImageBuilder().add(RampRecord(4)).add(liar).add(RampRecord(1)).image());
    ASSERT_EQ(after.code, kDecodeOk);
    EXPECT_EQ(after.details.decodedSets, 1);
    EXPECT_EQ(after.collection.count(), 1);
    EXPECT_EQ(after.collection.values().size(), 16u);

    // A header that announces more sets than the image holds keeps what is there.
    const Decoded more = decodeImage(ImageBuilder().add(RampRecord(4)).announce(2).image());
    EXPECT_EQ(more.code, kDecodeOk);
    EXPECT_EQ(more.collection.count(), 1);
}

TEST(DecodeMemoryImage, DoesNotChangeTheImage) {
    const MemoryImage image = ImageBuilder().add(RampRecord(5)).image();
    const MemoryImage copy = image;
    decodeImage(image);
    EXPECT_TRUE(std::ranges::equal(image.bytes(), copy.bytes()));
}

} // namespace
