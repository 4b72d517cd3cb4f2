#include "CliRun.h"
#include "chart/GraphState.h"
#include "formats/GraphFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSize>
#include <QSizeF>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace thermo4::cli::test {
namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList FilesIn(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

/// Width and height of a PNG from its IHDR chunk; nothing when the bytes are no PNG.
std::optional<QSize> PngSize(const QByteArray& png) {
    if (!png.startsWith("\x89PNG\r\n\x1a\n") || png.size() < 24 || png.mid(12, 4) != "IHDR")
        return std::nullopt;
    const auto word = [&](int at) { return int(qFromBigEndian<quint32>(png.constData() + at)); };
    return QSize(word(16), word(20));
}

/// The page size of a one-page PDF in points.
std::optional<QSizeF> PdfPageSize(const QByteArray& pdf) {
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\])"));
    const QRegularExpressionMatch match = box.match(QString::fromLatin1(pdf));
    if (!pdf.startsWith("%PDF-") || !match.hasMatch())
        return std::nullopt;
    return QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
}

TEST(CliGraph, AGraphFileExportsTheRowsOfItsDataSetAndHoldsTheBuiltInLook) {
    QTemporaryDir dir;
    for (const char* set : {"1", "2"}) {
        const QString graphFile = dir.filePath(QStringLiteral("set%1.ghf").arg(QLatin1String(set)));
        const CliRun graph = RunCli({"graph", kDemo, "--set", set, "-o", graphFile}, NoDisplay());
        ASSERT_EQ(graph.exitCode, 0) << graph.err.toStdString();
        EXPECT_TRUE(graph.out.isEmpty());

        const CliRun fromGraph = RunCli({"export", graphFile});
        const CliRun fromSet = RunCli({"export", kDemo, "--set", set});
        EXPECT_EQ(fromGraph.exitCode, 0) << fromGraph.err.toStdString();
        EXPECT_GT(fromSet.out.count(QLatin1Char('\n')), 10);
        EXPECT_EQ(fromGraph.out, fromSet.out) << "set " << set;
        // Readings that are no temperature (set 1's T4 has no probe) stay in the file as the meter gave them.
        const CliRun rawGraph = RunCli({"export", graphFile, "--raw"});
        EXPECT_EQ(rawGraph.out, RunCli({"export", kDemo, "--set", set, "--raw"}).out) << "set " << set;

        QByteArray block;
        chart::GraphState state;
        ASSERT_TRUE(formats::ReadGraphFile(graphFile, chart::kMaxStateBytes, block));
        ASSERT_TRUE(chart::parseGraphState(block, state));
        EXPECT_EQ(state.subsets, 4);
        EXPECT_EQ(state.settings.graphBackColor, QColor(Qt::black));
        EXPECT_EQ(state.settings.xAxisLabel, QStringLiteral("Time"));
        EXPECT_FALSE(state.table.show) << "the statistics table belongs to the pictures";
    }
}

TEST(CliGraph, PicturesHaveTheirFormatAndTheRequestedSize) {
    QTemporaryDir dir;
    struct Case {
        const char* file;
        QStringList options;
        QSize pixels;
    };
    const Case cases[] = {
        {"default.png", {}, QSize(1200, 800)},
        {"small.PNG", {"--size", "640x400"}, QSize(640, 400)},
        {"wide.png", {"--size", "1600x400", "--fit-y", "--title", "Oven"}, QSize(1600, 400)},
        {"page.pdf", {"--size", "800x600"}, QSize(800, 600)},
        {"default.pdf", {}, QSize(1200, 800)},
    };
    for (const Case& c : cases) {
        const QString out = dir.filePath(QLatin1String(c.file));
        const CliRun run =
            RunCli(QStringList{"graph", kDemo, "--set", "2", "-o", out} + c.options, NoDisplay());
        ASSERT_EQ(run.exitCode, 0) << c.file << ": " << run.err.toStdString();
        const QByteArray bytes = ReadFile(out);
        if (out.endsWith(QLatin1String(".pdf"))) {
            // The page has the picture's size at 96 dpi: 0.75 points per pixel.
            EXPECT_EQ(PdfPageSize(bytes), QSizeF(c.pixels) * 0.75) << c.file;
        } else {
            EXPECT_EQ(PngSize(bytes), c.pixels) << c.file;
        }
        EXPECT_GT(bytes.size(), 4000) << c.file << ": a graph, not an empty page";
    }
    EXPECT_EQ(FilesIn(dir).size(), qsizetype(std::size(cases))) << FilesIn(dir).join(' ').toStdString();
}

TEST(CliGraph, BadChoicesFailClearlyAndLeaveNoFile) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("out.png"));
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("a file, not a folder");
    }
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--set", "3", "-o", png}, 1, "the file holds 2 data set(s)"},
        {{"--set", "0", "-o", png}, 2, "is not a data set number"},
        {{"--set", "two", "-o", png}, 2, "is not a data set number"},
        {{"-o", png}, 2, "--set N is required"},
        {{"--set", "1"}, 2, "-o OUT is required"},
        {{"--set", "1", "-o", dir.filePath(QStringLiteral("out.jpg"))},
         2,
         "does not end in .ghf, .png or .pdf"},
        {{"--set", "1", "-o", png, "--size", "639x400"},
         2,
         "is not WIDTHxHEIGHT in pixels from 640x400 to 5000x5000"},
        {{"--set", "1", "-o", png, "--size", "5001x800"}, 2, "--size: \"5001x800\""},
        {{"--set", "1", "-o", png, "--size", "800"}, 2, "--size: \"800\""},
        {{"--set", "1", "-o", png, "--size", "-800x600"}, 2, "--size"},
        {{"--set", "1", "-o", dir.filePath(QStringLiteral("g.ghf")), "--size", "800x600"},
         2,
         "--size applies to .png and .pdf"},
        {{"--set", "1", "-o", png, "--template", dir.filePath(QStringLiteral("none.ghf"))},
         1,
         "--template: "},
        {{"--set", "1", "-o", png, "--template", blocker}, 1, "--template: "},
        {{"--set", "1", "-o", blocker + QStringLiteral("/out.png")}, 1, "Cannot"},
        {{"--set", "1", "-o", dir.filePath(QStringLiteral("missing/out.pdf"))}, 1, "Cannot"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(QStringList{"graph", kDemo} + c.args, NoDisplay());
        const std::string args = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << args << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message))) << args << ": " << run.err.toStdString();
        EXPECT_EQ(FilesIn(dir), QStringList{"blocker"}) << args;
    }
    const CliRun notACollection = RunCli({"graph", blocker, "--set", "1", "-o", png}, NoDisplay());
    EXPECT_EQ(notACollection.exitCode, 1);
    EXPECT_EQ(FilesIn(dir), QStringList{"blocker"});
}

TEST(CliGraph, APictureThatCannotBeWrittenKeepsTheOldFile) {
    QTemporaryDir dir;
    for (const char* name : {"old.png", "old.pdf"}) {
        const QString path = dir.filePath(QLatin1String(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old contents");
        file.close();
        CliRunOptions limited = NoDisplay();
        limited.childSetup = LimitFileSize;
        const CliRun run = RunCli({"graph", kDemo, "--set", "1", "-o", path}, limited);
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_TRUE(run.err.contains(QStringLiteral("File too large"))) << run.err.toStdString();
        EXPECT_EQ(ReadFile(path), "old contents") << name;
    }
    EXPECT_EQ(FilesIn(dir), (QStringList{"old.pdf", "old.png"}));
}

TEST(CliGraph, OnlyGraphStartsAGuiApplication) {
    // A platform that cannot start (no X display) would end a GUI application at once; the
    // other commands must not care, and graph must follow the user's choice of platform.
    CliRunOptions xcb = NoDisplay();
    xcb.extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    xcb.childSetup = [] { // the failing start aborts: no core file
        const rlimit none{0, 0};
        ::setrlimit(RLIMIT_CORE, &none);
    };
    const CliRun sets = RunCli({"sets", kDemo}, xcb);
    EXPECT_EQ(sets.exitCode, 0) << sets.err.toStdString();
    EXPECT_TRUE(sets.out.startsWith(QStringLiteral("set,start,"))) << sets.out.toStdString();

    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("x.png"));
    EXPECT_NE(RunCli({"graph", kDemo, "--set", "1", "-o", png}, xcb).exitCode, 0);
    EXPECT_TRUE(FilesIn(dir).isEmpty());
    CliRunOptions offscreen = NoDisplay();
    offscreen.extra.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    EXPECT_EQ(RunCli({"graph", kDemo, "--set", "1", "-o", png}, offscreen).exitCode, 0);
    EXPECT_TRUE(PngSize(ReadFile(png)).has_value());
}

} // namespace
} // namespace thermo4::cli::test
