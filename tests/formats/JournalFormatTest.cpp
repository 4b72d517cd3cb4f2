#include "formats/JournalFormat.h"
#include "JournalSamples.h"
#include "formats/JournalReader.h"

#include <gtest/gtest.h>

namespace thermo4::formats {
namespace {

double days(int year, int month, int day, int hour, int minute, int second, int ms) {
    return core::TDateTimeFromDateAndTime(QDate(year, month, day), QTime(hour, minute, second, ms));
}

TEST(JournalFormat, SampleLinesAndBack) {
    struct Case {
        JournalSample sample;
        const char* line;
        std::uint8_t stateRead;
    };
    const double t = days(2024, 5, 1, 10, 0, 0, 250);
    const Case cases[] = {
        {{t, 0x00, {23.4f, -5.0f, 0.0f, 1234.5f}}, "2024-05-01T10:00:00.250,23.4,-5.0,0.0,1234.5", 0x00},
        {{t, 0x01, {3276.7f, -3276.8f, 0.1f, -0.1f}}, "2024-05-01T10:00:00.250,OL,-3276.8,0.1,-0.1", 0x01},
        {{t, 0x20, {1.0f, 2.0f, 3.0f, 4.0f}}, "2024-05-01T10:00:00.250,1.0,----,3.0,4.0", 0x20},
        // Over range wins over no reading, as on the meter's display.
        {{t, 0x88, {1.0f, 2.0f, 3.0f, 4.0f}}, "2024-05-01T10:00:00.250,1.0,2.0,3.0,OL", 0x08},
        {{t, 0xF0, {1.0f, 2.0f, 3.0f, 4.0f}}, "2024-05-01T10:00:00.250,----,----,----,----", 0xF0},
        // Rounded to one decimal; nothing rounds to "-0.0".
        {{t, 0x00, {-0.04f, 12.36f, 99.94f, -7.25f}}, "2024-05-01T10:00:00.250,0.0,12.4,99.9,-7.2", 0x00},
        // Milliseconds are rounded; the last half millisecond of a day is the next day.
        {{days(2023, 12, 31, 23, 59, 59, 999) + 0.6 / core::kMsPerDay, 0x00, {1.0f, 1.0f, 1.0f, 1.0f}},
         "2024-01-01T00:00:00.000,1.0,1.0,1.0,1.0",
         0x00},
    };
    for (const Case& c : cases) {
        const QByteArray line = JournalSampleLine(c.sample);
        EXPECT_EQ(line, QByteArray(c.line) + '\n');
        const auto back = ParseJournalSampleLine(QByteArrayView(line).chopped(1));
        ASSERT_TRUE(back.has_value()) << c.line;
        EXPECT_EQ(back->channelState, c.stateRead) << c.line;
        for (int k = 0; k < 4; ++k) {
            const bool flagged = c.stateRead & (0x11u << k);
            const float expected =
                flagged ? kJournalNullValue : QByteArray(c.line).split(',')[k + 1].toFloat();
            EXPECT_EQ(back->reading[std::size_t(k)], expected) << c.line << " T" << k + 1;
        }
    }
}

TEST(JournalFormat, TestRecordingRoundTripsExactly) {
    for (int i = 0; i < 200; ++i) {
        const JournalSample sample = thermo4::test::JournalTestSample(i);
        const QByteArray line = JournalSampleLine(sample);
        EXPECT_EQ(ParseJournalSampleLine(QByteArrayView(line).chopped(1)), sample) << line.constData();
    }
}

TEST(JournalFormat, RefusesLinesThatAreNotSamples) {
    const char* const lines[] = {
        "",
        "2024-05-01T10:00:00.250",
        "2024-05-01T10:00:00.250,1.0,2.0,3.0",
        "2024-05-01T10:00:00.250,1.0,2.0,3.0,4.0,5.0",
        "2024-05-01T10:00:00.250,1.0,2.0,,4.0",
        "2024-05-01T10:00:00.250,1.0,2.0,x,4.0",
        "2024-05-01T10:00:00.250,1.0,2.0,3.0,4.0x",
        "2024-05-01T10:00:00.250,1,0,2,0,3,0,4,0",
        "2024-05-01T10:00:00.250,nan,2.0,3.0,4.0",
        "2024-05-01T10:00:00.250,inf,2.0,3.0,4.0",
        "2024-05-01T10:00:00.250,1e3,2.0,3.0,4.0",
        "2024-05-01T10:00:00.250,+1.0,2.0,3.0,4.0",
        "2024-05-01T10:00:00.250,999999.0,2.0,3.0,4.0",
        "2024-05-01T10:00:00.250,ol,2.0,3.0,4.0",
        "2024-05-01T10:00:00.250,---,2.0,3.0,4.0",
        "2024-02-30T10:00:00.250,1.0,2.0,3.0,4.0",
        "2024-05-01T24:00:00.000,1.0,2.0,3.0,4.0",
        "2024-05-01 10:00:00.250,1.0,2.0,3.0,4.0",
        "2024-05-01T10:00:00,1.0,2.0,3.0,4.0",
        "2024-05-01T10:00:00.2x0,1.0,2.0,3.0,4.0",
        "time,T1,T2,T3,T4",
    };
    for (const char* line : lines)
        EXPECT_FALSE(ParseJournalSampleLine(QByteArrayView(line)).has_value()) << '"' << line << '"';
    QByteArray withNul("2024-05-01T10:00:00.250,1.0,2.0,3.0,4");
    withNul.append('\0');
    EXPECT_FALSE(ParseJournalSampleLine(withNul));
}

TEST(JournalFormat, HeaderNamesTheRecordingAndReadsBack) {
    JournalHeader header = thermo4::test::JournalTestHeader();
    header.start = QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0, 250), Qt::OffsetFromUTC, 7200);
    header.meterModel = QStringLiteral("418\nx"); // one line whatever the meter said
    header.link = QStringLiteral("usb");
    header.device = QStringLiteral("SN01");
    const QByteArray text = JournalHeaderText(header);
    EXPECT_EQ(text, "# thermo4 recording journal 1\n"
                    "# program: " +
                        JournalProgramName().toUtf8() +
                        "\n"
                        "# start: 2024-05-01T10:00:00.250+02:00\n"
                        "# rate_s: 1\n"
                        "# meter: 418 x\n"
                        "# link: usb\n"
                        "# device: SN01\n"
                        "# unit: \xC2\xB0"
                        "C\n"
                        "time,T1,T2,T3,T4\n");
    const JournalContents back = JournalReader::parse(text, QStringLiteral("j.csv"));
    ASSERT_TRUE(back.ok()) << back.error.toStdString();
    EXPECT_EQ(back.header.program, JournalProgramName());
    EXPECT_EQ(back.header.start.toMSecsSinceEpoch(), header.start.toMSecsSinceEpoch());
    EXPECT_EQ(back.header.start.offsetFromUtc(), 7200);
    EXPECT_EQ(back.header.rateSeconds, 1);
    EXPECT_EQ(back.header.meterModel, QStringLiteral("418 x"));
    EXPECT_EQ(back.header.link, QStringLiteral("usb"));
    EXPECT_EQ(back.header.device, QStringLiteral("SN01"));
    EXPECT_TRUE(back.samples.empty());
    EXPECT_FALSE(back.finished);
}

QByteArray journalText(int samples) {
    QByteArray text = JournalHeaderText(thermo4::test::JournalTestHeader());
    for (int i = 0; i < samples; ++i)
        text += JournalSampleLine(thermo4::test::JournalTestSample(i));
    return text;
}

TEST(JournalReader, DropsOnlyWhatACrashCut) {
    const QByteArray whole = journalText(3);
    const QByteArray last = JournalSampleLine(thermo4::test::JournalTestSample(2));
    QByteArray damagedMiddle = journalText(3);
    damagedMiddle.insert(damagedMiddle.size() - last.size(), "2024-05-01T10:\n");
    struct Case {
        const char* what;
        QByteArray bytes;
        int samples;
        int dropped;
        bool finished;
    };
    const Case cases[] = {
        {"whole", whole, 3, 0, false},
        {"cut inside the last line", whole.chopped(last.size() / 2), 2, 1, false},
        // "...,-9.6" cut to "...,-9." would read as a different value: without its end the line goes.
        {"cut before the last line end", whole.chopped(1), 2, 1, false},
        {"cut after a line end", whole.chopped(last.size()), 2, 0, false},
        {"zeros after a power cut", whole + QByteArray(4096, '\0'), 3, 1, false},
        {"zeros where the last line was", whole.chopped(last.size()) + QByteArray(last.size(), '\0'), 2, 1,
         false},
        {"a damaged line in the middle", damagedMiddle, 3, 1, false},
        {"Windows line ends", QByteArray(whole).replace("\n", "\r\n"), 3, 0, false},
        {"finished", whole + "# finished: saved\n", 3, 0, true},
    };
    for (const Case& c : cases) {
        const JournalContents contents = JournalReader::parse(c.bytes, QStringLiteral("j.csv"));
        ASSERT_TRUE(contents.ok()) << c.what << ": " << contents.error.toStdString();
        ASSERT_EQ(int(contents.samples.size()), c.samples) << c.what;
        for (int i = 0; i < c.samples; ++i)
            EXPECT_EQ(contents.samples[std::size_t(i)], thermo4::test::JournalTestSample(i))
                << c.what << " sample " << i;
        EXPECT_EQ(contents.droppedLines, c.dropped) << c.what;
        EXPECT_EQ(contents.finished, c.finished) << c.what;
    }
}

TEST(JournalReader, DamagedHeadersAreReportedNotRead) {
    const QByteArray magic = "# thermo4 recording journal 1\n";
    const QByteArray start = "# start: 2024-05-01T10:00:00.250+02:00\n";
    const QByteArray rate = "# rate_s: 2\n";
    const QByteArray columns = "time,T1,T2,T3,T4\n";
    const QByteArray sample = "2024-05-01T10:00:00.250,1.0,2.0,3.0,4.0\n";
    struct Case {
        QByteArray bytes;
        const char* errorPart;
    };
    const Case cases[] = {
        {"", "j.csv: empty file"},
        {columns + sample, "j.csv: not a recording journal"},
        {"# thermo4 recording journal 2\n" + start + rate + columns, "not a recording journal"},
        {magic, "the file ends inside its header"},
        {magic + start + "# rate", "(line 3): the file ends inside its header"},
        {magic + start + rate + sample,
         "(line 4): \"2024-05-01T10:00:00.250,1.0,2.0,3.0,4.0\" where the header"},
        {magic + rate + columns + sample, "no start time"},
        {magic + start + columns + sample, "no sampling rate"},
        {magic + "# start: yesterday\n" + rate + columns, "(line 2): start time \"yesterday\""},
        {magic + start + "# rate_s: 0\n" + columns, "sampling rate \"0\""},
        {magic + start + rate + "# unit: \xC2\xB0" + "F\n" + columns, "unit \"\u00B0F\" is not \u00B0C"},
        {magic + start + rate + "# a line\n" + columns, "\"# a line\" is not a field"},
        {QByteArray(512, '\0'), "not a recording journal"},
    };
    for (const Case& c : cases) {
        const JournalContents contents = JournalReader::parse(c.bytes, QStringLiteral("j.csv"));
        EXPECT_FALSE(contents.ok()) << c.errorPart;
        EXPECT_TRUE(contents.error.contains(QString::fromUtf8(c.errorPart))) << contents.error.toStdString();
        EXPECT_TRUE(contents.samples.empty()) << c.errorPart;
    }
    // Fields a later version may add are skipped.
    const JournalContents later = JournalReader::parse(
        magic + start + rate + "# probe: K\n" + columns + sample, QStringLiteral("j.csv"));
    EXPECT_TRUE(later.ok()) << later.error.toStdString();
    EXPECT_EQ(later.samples.size(), 1u);
}

TEST(JournalFormat, FileNamesSortByStartTime) {
    const QDateTime start(QDate(2024, 5, 1), QTime(9, 5, 7, 900));
    EXPECT_EQ(JournalFileName(start), QStringLiteral("2024-05-01_09-05-07.csv"));
    EXPECT_EQ(JournalFileName(start, 2), QStringLiteral("2024-05-01_09-05-07_2.csv"));
    QStringList names{JournalFileName(start.addSecs(1)), JournalFileName(start, 2), JournalFileName(start),
                      JournalFileName(start.addDays(-40))};
    names.sort();
    EXPECT_EQ(names, (QStringList{JournalFileName(start.addDays(-40)), JournalFileName(start),
                                  JournalFileName(start, 2), JournalFileName(start.addSecs(1))}));
    EXPECT_EQ(JournalFolderIn(QStringLiteral("/data")), QStringLiteral("/data/journal"));
}

} // namespace
} // namespace thermo4::formats
