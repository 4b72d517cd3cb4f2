#include "formats/ExportRange.h"
#include "formats/FileFilters.h"
#include "formats/RegionalText.h"
#include "formats/TablePrintout.h"
#include "formats/TextExport.h"
#include "formats/TextImport.h"

#include "TestFiles.h"
#include "core/DataSet.h"
#include "core/TDateTime.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::formats {
namespace {

using test::Read;
using test::Write;

using test::kGerman;

TEST(ExportRange, FieldsAreSortedCutAndStartAtOne) {
    struct Case {
        bool all;
        const char* from;
        const char* to;
        std::optional<ExportRange> expected;
    };
    const Case cases[] = {
        {true, "x", "y", ExportRange{1, 10}},     {false, "5", "2", ExportRange{2, 5}},
        {false, "-3", "10", ExportRange{3, 10}},  {false, "0", "4", ExportRange{1, 4}},
        {false, "7", "25", ExportRange{7, 10}},   {false, " 2 ", "+3", ExportRange{2, 3}},
        {false, "12", "20", ExportRange{11, 10}}, // past the end: nothing
        {false, "1.5", "3", std::nullopt},        {false, "1", "", std::nullopt},
        {false, "abc", "3", std::nullopt},        {false, "-2147483648", "3", ExportRange{3, 10}},
    };
    for (const Case& c : cases) {
        const auto range = ResolveExportRange(c.all, QLatin1String(c.from), QLatin1String(c.to), 10);
        EXPECT_EQ(range, c.expected) << c.from << ".." << c.to;
    }
    EXPECT_EQ(ExportRange(ExportRange{11, 10}).count(), 0);
}

TEST(FileFilters, TheTypesOfferedFollowTheDecimalSeparator) {
    EXPECT_EQ(GraphFileFilter(true),
              QStringLiteral(
                  "Graph file(*.ghf,only for thermo4)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT"));
    EXPECT_EQ(
        GraphFileFilter(false),
        QStringLiteral("Graph file(*.ghf,only for thermo4)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT"
                       "|EXCEL file format(*.CSV,seperated by comma)|*.CSV"));
    EXPECT_EQ(TableFileFilter(true), QStringLiteral(" TXT file(*.txt,data seperated by tab) |*.TXT"));
    EXPECT_EQ(TableFileFilter(false),
              QStringLiteral("TXT file(*.txt,data seperated by tab)|*.TXT") + QString(29, QLatin1Char(' ')) +
                  QStringLiteral("|EXCEL file format(*.CSV,seperated by comma) |*.CSV"));
    EXPECT_TRUE(DecimalSeparatorIsComma(kGerman));
    EXPECT_FALSE(DecimalSeparatorIsComma(QLocale::c()));

    EXPECT_EQ(FilterExtensions(GraphFileFilter(false)), (QStringList{".GHF", ".TXT", ".CSV"}));
    EXPECT_EQ(FilterExtensions(TableFileFilter(false)), (QStringList{".TXT", ".CSV"}));
    EXPECT_EQ(FilterExtensions(TableFileFilter(true)), (QStringList{".TXT"}));
    EXPECT_EQ(FilterExtensions(QStringLiteral("All|*.*")), QStringList());
}

TEST(FileFilters, SwitchingTheTypeChangesTheExtensionAndDropsTheFolder) {
    const QString graph = GraphFileFilter(false);
    EXPECT_EQ(FileNameForFilterType(QStringLiteral("/data/run1.GHF"), graph, 2), QStringLiteral("run1.TXT"));
    EXPECT_EQ(FileNameForFilterType(QStringLiteral("run1.GHF"), graph, 3), QStringLiteral("run1.CSV"));
    EXPECT_EQ(FileNameForFilterType(QStringLiteral("run1"), graph, 1), QStringLiteral("run1.GHF"));
    EXPECT_EQ(FileNameForFilterType(QStringLiteral("a.b.txt"), graph, 1), QStringLiteral("a.b.GHF"));
    EXPECT_EQ(FileNameForFilterType(QStringLiteral("run1.GHF"), graph, 4), std::nullopt);
    EXPECT_EQ(FileNameForFilterType(QString(), graph, 1), std::nullopt);

    const std::tuple<const char*, GraphSaveKind, QChar> kinds[] = {
        {"a.GHF", GraphSaveKind::GraphFile, '\t'}, {"a.txt", GraphSaveKind::TabText, '\t'},
        {"a.Csv", GraphSaveKind::CommaText, ','},  {"a.ch4", GraphSaveKind::Nothing, '\t'},
        {"a", GraphSaveKind::Nothing, '\t'},
    };
    for (const auto& [name, kind, separator] : kinds) {
        EXPECT_EQ(GraphSaveKindFor(QLatin1String(name)), kind) << name;
        EXPECT_EQ(TextSeparatorFor(QLatin1String(name)), separator) << name;
    }
}

TEST(FileFilters, TheChosenTypeGivesItsExtensionUnlessTheNameHasAnOfferedOne) {
    const QString graph = GraphFileFilter(false);
    const QString table = TableFileFilter(false);
    struct Case {
        const char* typed;
        const QString& filter;
        int type; // from 1
        const char* written;
    };
    const Case cases[] = {
        {"/d/run", graph, 2, "/d/run.TXT"},     {"/d/run", graph, 3, "/d/run.CSV"},
        {"/d/run", graph, 1, "/d/run.GHF"},     {"/d/run.csv", graph, 2, "/d/run.csv"},
        {"/d/run.Ghf", graph, 3, "/d/run.Ghf"}, {"/d/run.dat", graph, 2, "/d/run.dat.TXT"},
        {"/d/run.", graph, 2, "/d/run.TXT"},    {"/d/v1.2/run", table, 2, "/d/v1.2/run.CSV"},
        {"/d/run.txt", table, 2, "/d/run.txt"}, {"/d/run.ghf", table, 1, "/d/run.ghf.TXT"},
        {"/d/run", graph, 4, "/d/run"},         {"/d/run.csv", GraphFileFilter(true), 2, "/d/run.csv.TXT"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SavePathForType(QLatin1String(c.typed), c.filter, c.type), QLatin1String(c.written))
            << c.typed;
}

/// Four curves of seven points, one second apart from 2017-03-09 14:05:30.
struct Curves {
    std::vector<std::vector<double>> x;
    std::vector<std::vector<float>> y;
    Curves() : x(4, std::vector<double>(7)), y(4, std::vector<float>(7, 9999.0f)) {
        const double start = core::TDateTimeFromDateAndTime(QDate(2017, 3, 9), QTime(14, 5, 30));
        for (int c = 0; c < 4; ++c) {
            for (int i = 0; i < 7; ++i) {
                x[c][i] = start + i / core::kSecondsPerDay;
                y[c][i] = float(c * 500 + i) + 0.25f;
            }
        }
    }
};

TEST(TextExport, GraphLinesEndWithCrLfAndAPointWithoutDataEndsTheExport) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run1.txt"));
    Curves curves;
    curves.x[0][6] = 0.0; // point 7 never received data
    curves.y[2][1] = 2500.1f;
    const TextExportResult result =
        WriteGraphText(path, curves.x, curves.y, ExportRange{1, 7}, QLatin1Char('\t'), kGerman);
    EXPECT_TRUE(result.written()) << result.error.toStdString();
    EXPECT_EQ(result.lines, 6);
    const QByteArray text = Read(path);
    EXPECT_EQ(text.count("\r\n"), 6);
    EXPECT_TRUE(text.startsWith(
        "09.03.17\t14:05:30\t0,3\t500,3\t1000,3\t1500,3\r\n09.03.17\t14:05:31\t1,3\t501,3\tOL\t"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("1.000")) << "no group separators";

    // Only the chosen range, and only two curves: the missing ones are no reading.
    const std::vector<std::vector<float>> two(curves.y.begin(), curves.y.begin() + 2);
    ASSERT_TRUE(
        WriteGraphText(path, curves.x, two, ExportRange{2, 3}, QLatin1Char(','), QLocale::c()).written());
    EXPECT_EQ(Read(path), "9 Mar 2017,14:05:31,1.3,501.3,OL,OL\r\n9 Mar 2017,14:05:32,2.3,502.3,OL,OL\r\n");
}

TEST(TextExport, ACancelledOrFailedExportLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    Write(path, "old contents");
    Curves curves;
    int calls = 0;
    const TextExportResult cancelled =
        WriteGraphText(path, curves.x, curves.y, ExportRange{1, 7}, QLatin1Char('\t'), kGerman,
                       [&calls](int done) { return ++calls, done < 3; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(Read(path), "old contents");

    const QString nowhere = dir.filePath(QStringLiteral("missing/run1.txt"));
    const TextExportResult failed = WriteTableText(
        nowhere, [](int) { return QStringList{"a"}; }, ExportRange{1, 2}, QLatin1Char('\t'));
    EXPECT_FALSE(failed.written());
    EXPECT_TRUE(failed.error.contains(nowhere)) << failed.error.toStdString();
    EXPECT_TRUE(failed.error.contains(QStringLiteral("No such file"))) << failed.error.toStdString();
}

TEST(TextImport, ATableExportReadsBackIntoTheSameCells) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.txt"));
    // Rows 1 to 3 of a 7-column grid: columns 1..6 written, each followed by the separator.
    const auto cells = [](int row) {
        QStringList cells;
        for (int column = 1; column <= 6; ++column)
            cells << QStringLiteral("r%1c%2").arg(row).arg(column);
        return cells;
    };
    ASSERT_TRUE(WriteTableText(path, cells, ExportRange{1, 3}, QLatin1Char('\t')).written());
    const QByteArray text = Read(path);
    EXPECT_EQ(text.count("\t\r\n"), 3);
    EXPECT_EQ(text.count('\t'), 18);
    const ImportedTable table = ReadTextTable(path, QLatin1Char('\t'));
    ASSERT_EQ(table.rowCount(), 3);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(table.fields(row - 1), cells(row));
}

TEST(TextImport, LinesAreCutSplitAndStopAtTheFirstLineWithoutTheSeparator) {
    const QString longField = QString(200, QLatin1Char('x'));
    const QString text = QStringLiteral("a\tb\r\n") +                 // CR LF
                         QStringLiteral("1\t2\t3\t4\t5\t6\t7\t8\n") + // past column 6
                         QStringLiteral("\t\tz\t\r") +                // empty fields, trailing separator
                         QStringLiteral("p\t") + longField + QStringLiteral("\tcut\n") + // cut at 179
                         QStringLiteral("no separator\nq\tr\n");                         // ends the table
    const ImportedTable table = ParseTextTable(text, QLatin1Char('\t'));
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.fields(0), (QStringList{"a", "b"}));
    EXPECT_EQ(table.fields(1), (QStringList{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(table.fields(2), (QStringList{"", "", "z"}));
    EXPECT_EQ(table.fields(3), (QStringList{"p", QString(177, QLatin1Char('x'))}));

    EXPECT_EQ(ParseTextTable(QStringLiteral("x,y\nno comma\nz,w"), QLatin1Char(',')).rowCount(), 1);
    EXPECT_EQ(ParseTextTable(QStringLiteral("x,y"), QLatin1Char(',')).fields(0), (QStringList{"x", "y"}));
    EXPECT_EQ(ParseTextTable(QString(), QLatin1Char(',')).rowCount(), 0);

    const ImportedTable cancelled = ParseTextTable(text, QLatin1Char('\t'), [](int row) { return row < 3; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.rowCount(), 2);
}

TEST(TextImport, TableRowsReadAsTheGraphDrawsThem) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    const double days = 42803.58715277778; // 2017-03-09 14:05:30
    const auto row = [&](const QLocale& locale, QStringList readings) {
        return QStringList{DateText(days, locale), TimeText(days, locale)} + readings;
    };
    using Readings = std::array<std::optional<float>, 4>;
    const float ol = float(core::kNoDataValue);
    const struct {
        const char* what;
        QStringList fields;
        QLocale locale;
        std::optional<Readings> readings; // nothing: the row has no date-time
    } cases[] = {
        {"readings and OL", row(us, {"20.5", "OL", "-3.2", " 100 "}), us, Readings{20.5f, ol, -3.2f, 100.0f}},
        {"comma decimal", row(german, {"20,5", "-0,1", "OL", "7"}), german, Readings{20.5f, -0.1f, ol, 7.0f}},
        {"point under a comma locale", row(german, {"20,5", "1.5", "3", "4"}), german, Readings{20.5f}},
        {"a non-number ends the row", row(us, {"20.5", "----", "OL", "22"}), us, Readings{20.5f}},
        {"a short row", row(us, {"1", "2"}), us, Readings{1.0f, 2.0f}},
        {"a bad time", QStringList{DateText(days, us), "25:00:00", "1", "2", "3", "4"}, us, std::nullopt},
        {"no date", QStringList{"", TimeText(days, us), "1", "2", "3", "4"}, us, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<TableRow> read = ReadTableRow(c.fields, c.locale);
        ASSERT_EQ(read.has_value(), c.readings.has_value()) << c.what;
        if (!read)
            continue;
        EXPECT_NEAR(read->time, days, 1e-9) << c.what;
        EXPECT_EQ(read->readings, *c.readings) << c.what;
    }
}

TEST(TextImport, FilesThatCannotBeReadNameTheFileAndTheReason) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.txt"));
    for (const auto& [path, reason] :
         {std::pair{missing, "No such file"}, std::pair{dir.path(), "not a regular"},
          std::pair{QStringLiteral("/dev/zero"), "not a regular"}}) {
        const ImportedTable table = ReadTextTable(path, QLatin1Char('\t'));
        EXPECT_EQ(table.rowCount(), 0);
        EXPECT_TRUE(table.error.contains(path) && table.error.contains(QLatin1String(reason)))
            << table.error.toStdString();
    }
    // Not UTF-8: read as Latin-1 rather than lost.
    const QString latin = dir.filePath(QStringLiteral("latin.txt"));
    Write(latin, "9.3.17\t14:05\xB0\n");
    EXPECT_EQ(ReadTextTable(latin, QLatin1Char('\t')).field(0, 1), QStringLiteral("14:05\u00B0"));
}

TEST(TablePrintout, CellsArePaddedToTheirWidthsAndRowsPlacedPageByPage) {
    // One space for each character a cell is short of its width (17 for the time, 10 for the
    // others), one space between cells.
    EXPECT_EQ(PrintedRow({"1", "09.03.2024", "14:05:30", "25.3", "1234567890", "OL"}),
              QStringLiteral("1") + QString(9, ' ') + " 09.03.2024 14:05:30" + QString(9, ' ') + " 25.3" +
                  QString(6, ' ') + " 1234567890 OL" + QString(8, ' '));
    // A full-width date stays apart from its time, and a longer row number moves no column.
    for (const char* number : {"1", "10", "100", "99999"}) {
        const QString line = PrintedRow({number, "09.03.2024", "2:05:30 PM", "-1234.5"});
        EXPECT_EQ(line.indexOf(QLatin1String("09.03.2024")), 11) << number;
        EXPECT_EQ(line.indexOf(QLatin1String("2:05:30 PM")), 22) << number;
        EXPECT_EQ(line.indexOf(QLatin1String("-1234.5")), 40) << number;
    }
    // A longer cell is not cut; it pushes the rest of its line.
    EXPECT_EQ(PrintedRow({"a-very-long-cell", "x"}), QStringLiteral("a-very-long-cell x") + QString(9, ' '));

    EXPECT_EQ(LinesPerPage(1000, 20), 50);
    EXPECT_EQ(LinesPerPage(1019, 20), 50);
    EXPECT_EQ(LinesPerPage(10, 20), 1);
    EXPECT_EQ(LinesPerPage(1000, 0), 1);
    EXPECT_EQ(PlaceOfRow(0, 50, 20), (PrintedRowPlace{0, 20, false}));
    EXPECT_EQ(PlaceOfRow(49, 50, 20), (PrintedRowPlace{0, 1000, false}));
    EXPECT_EQ(PlaceOfRow(50, 50, 20), (PrintedRowPlace{1, 20, true}));
    EXPECT_EQ(PlaceOfRow(3, 50, 20), (PrintedRowPlace{0, 80, false}));
}

} // namespace
} // namespace thermo4::formats
