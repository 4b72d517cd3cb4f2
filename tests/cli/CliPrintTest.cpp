#include "CliRun.h"
#include "support/PdfWords.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::cli::test {
namespace {

using thermo4::test::PdfPage;
using thermo4::test::PdfPages;

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(CliPrint, AGraphFilePrintsAsTheGraphPrintoutAndATextFileAsTheTablePrintout) {
    QTemporaryDir dir;
    const QString graphFile = dir.filePath(QStringLiteral("set2.ghf"));
    ASSERT_EQ(RunCli({"graph", kDemo, "--set", "2", "-o", graphFile}, NoDisplay()).exitCode, 0);

    const CliRun graph =
        RunCli({"print", graphFile, "-o", dir.filePath(QStringLiteral("graph.pdf"))}, NoDisplay());
    ASSERT_EQ(graph.exitCode, 0) << graph.err.toStdString();
    EXPECT_TRUE(graph.out.isEmpty() && graph.err.isEmpty()) << graph.err.toStdString();
    const std::vector<PdfPage> graphPages = PdfPages(dir.filePath(QStringLiteral("graph.pdf")));
    ASSERT_EQ(graphPages.size(), 1u);
    const PdfPage& page = graphPages.front();
    EXPECT_GT(page.width, page.height);
    // The caption of the window the file opens into is its full name.
    EXPECT_FALSE(page.find(QDir::toNativeSeparators(graphFile)).empty());
    for (const char* word : {"T1", "T4", "MAX", "MIN", "AVG", "Time"})
        EXPECT_FALSE(page.find(QLatin1String(word)).empty()) << word;
    for (const auto& w : page.words) {
        EXPECT_TRUE(w.xMax <= page.width && w.yMax <= page.height) << w.text.toStdString();
        EXPECT_LE(w.height(), 0.03 * page.height) << w.text.toStdString();
    }

    // A comma-separated table: its header, then a line per row with the date apart from the time.
    const QString csv = dir.filePath(QStringLiteral("rows.csv"));
    ASSERT_TRUE(Write(csv, "09.03.2024,14:05:30,25.3,26.1,OL,-12.5\r\n"
                           "09.03.2024,14:05:32,25.4,26.0,OL,-12.4\r\n"));
    const CliRun table = RunCli({"print", csv, "-o", dir.filePath(QStringLiteral("table.pdf"))}, NoDisplay());
    ASSERT_EQ(table.exitCode, 0) << table.err.toStdString();
    const std::vector<PdfPage> tablePages = PdfPages(dir.filePath(QStringLiteral("table.pdf")));
    ASSERT_EQ(tablePages.size(), 1u);
    const auto lines = tablePages.front().lines();
    ASSERT_EQ(lines.size(), 3u);
    QStringList second;
    for (const auto& w : lines[2])
        second << w.text;
    EXPECT_EQ(second, QStringList({"2", "09.03.2024", "14:05:32", "25.4", "26.0", "OL", "-12.4"}));
    EXPECT_NEAR(lines[1][1].xMin, lines[2][1].xMin, 0.5);
}

TEST(CliPrint, WhatCannotBeReadOrPrintedFailsWithOneLineAndNoOutput) {
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("damaged.ghf"));
    ASSERT_TRUE(Write(damaged, QByteArray("\x10\x00\x00\x00short", 9)));
    const QString table = dir.filePath(QStringLiteral("table.txt"));
    ASSERT_TRUE(Write(table, "09.03.2024\t14:05:30\t25.3\t26.1\tOL\t-12.5\r\n"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{"print", dir.filePath(QStringLiteral("missing.ghf")), "-o", out}, 1},
        {{"print", damaged, "-o", out}, 1},
        {{"print", dir.filePath(QStringLiteral("folder.txt")), "-o", out}, 1},
        {{"print", dir.filePath(QStringLiteral("missing.csv")), "-o", out}, 1},
        {{"print", table, "--printer", "thermo4-no-such-printer"}, 1},
        {{"print", table, "-o", dir.filePath(QStringLiteral("no/such/folder/out.pdf"))}, 1},
        {{"print", table, "-o", out, "--printer", "any"}, 2},
        {{"print", table, "-o", dir.filePath(QStringLiteral("out.png"))}, 2},
        {{"print", kDemo, "-o", out}, 2},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args, NoDisplay());
        const QString err = run.err.trimmed();
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(!err.isEmpty() && !err.contains(QLatin1Char('\n'))) << err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2) << "only the two inputs";
}

} // namespace
} // namespace thermo4::cli::test
