#include "core/DataSetTable.h"
#include "ImageBuilder.h"
#include "core/TDateTime.h"

#include <gtest/gtest.h>

using namespace thermo4::core;

namespace {

DataSet tenPointSet(bool celsius) {
    DataSet set;
    set.startTime = TDateTimeFromDateAndTime(QDate(2017, 3, 9), QTime(14, 5, 30));
    set.intervalSeconds = 90;
    set.pointCount = 10;
    set.celsius = celsius;
    set.thermocoupleType = 1;
    set.offsets = {5, 0, -9, 18};
    return set;
}

QStringList texts(const std::array<QString, kDataSetTableColumns>& row) {
    return {row.begin(), row.end()};
}

TEST(DataSetTable, RowOfACelsiusAndAFahrenheitSet) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(texts(DataSetTableRow(1, tenPointSet(true), us)),
              QStringList({"1", "3/9/17", "14:05:30", "01:30", "10", "C", "J", "0.3", "0.0", "-0.5", "1.0"}));
    EXPECT_EQ(
        texts(DataSetTableRow(12, tenPointSet(false), us)),
        QStringList({"12", "3/9/17", "14:05:30", "01:30", "10", "F", "J", "0.5", "0.0", "-0.9", "1.8"}));
}

TEST(DataSetTable, RegionalFormatsReachDateAndOffsets) {
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(
        texts(DataSetTableRow(1, tenPointSet(true), de)),
        QStringList({"1", "09.03.17", "14:05:30", "01:30", "10", "C", "J", "0,3", "0,0", "-0,5", "1,0"}));
}

TEST(DataSetTable, RateIsMinutesAndSeconds) {
    struct Row {
        std::int32_t seconds;
        const char* text;
    };
    for (const Row& r : {Row{90, "01:30"}, Row{2, "00:02"}, Row{7200, "120:00"}, Row{0, "00:00"},
                         Row{59, "00:59"}, Row{60, "01:00"}, Row{599, "09:59"}, Row{15555, "259:15"}}) {
        EXPECT_EQ(IntervalText(r.seconds), QLatin1String(r.text)) << r.seconds;
    }
}

TEST(DataSetTable, OffsetsAreTenthsOfFahrenheitShownInTheSetsUnit) {
    struct Row {
        std::int8_t offset;
        const char* celsius;
        const char* fahrenheit;
    };
    for (const Row& r : {Row{1, "0.1", "0.1"}, Row{-1, "-0.1", "-0.1"}, Row{127, "7.1", "12.7"},
                         Row{-128, "-7.1", "-12.8"}, Row{90, "5.0", "9.0"}, Row{0, "0.0", "0.0"}}) {
        EXPECT_EQ(OffsetText(r.offset, true, QLocale::c()), QLatin1String(r.celsius)) << int{r.offset};
        EXPECT_EQ(OffsetText(r.offset, false, QLocale::c()), QLatin1String(r.fahrenheit)) << int{r.offset};
    }
}

TEST(DataSetTable, TypeLetters) {
    const char* expected = "KJETNRSKKKKKKKKK";
    for (std::uint8_t type = 0; type < 16; ++type) {
        DataSet set;
        set.thermocoupleType = type;
        EXPECT_EQ(DataSetTableRow(1, set, QLocale::c())[6], QString(QLatin1Char(expected[type])))
            << int{type};
    }
    EXPECT_EQ(QString::fromLatin1(kDataSetTableHeader[7]), QStringLiteral("T1 Offset"));
}

TEST(DataSetCollection, HeadersPromisingMoreThanIsHeldGiveClippedSlices) {
    std::vector<DataSet> headers(2);
    headers[0].pointCount = 3;
    headers[1].pointCount = 9;
    const DataSetCollection c(headers, std::vector<float>(32), std::vector<double>(30));
    EXPECT_EQ(c.startIndex(1), 12u);
    EXPECT_EQ(c.valuesOf(1).size(), 20u);
    EXPECT_EQ(c.timesOf(1).size(), 18u);
}

TEST(MemoryImage, BlocksAndHeaderFields) {
    std::vector<std::uint8_t> block(MemoryImage::kBlockSize, 0x00);
    block[8] = 0x0F, block[9] = 0xA0;                     // 4000 data sets
    block[10] = 0x03, block[11] = 0xFF, block[12] = 0xFE; // end address
    MemoryImage image;
    image.append(block);
    image.append(block);
    image.append(0x77);
    EXPECT_EQ(MemoryEndAddress(image.bytes()), 0x3FFFEu);
    EXPECT_EQ(MemoryDataSetCount(image.bytes()), 4000);
    EXPECT_EQ(MemoryEndAddress(image.bytes().first(12)), 0u);
    EXPECT_EQ(MemoryDataSetCount(image.bytes().first(9)), 0);
    EXPECT_EQ(image.at(64), 0x77);
    EXPECT_EQ(image.at(65), 0); // past the end reads as 0, never beyond the buffer
    image.removeLastBlock();
    EXPECT_EQ(image.size(), 33u);
    image.removeLastBlock();
    image.removeLastBlock();
    EXPECT_TRUE(image.isEmpty());
}

} // namespace
