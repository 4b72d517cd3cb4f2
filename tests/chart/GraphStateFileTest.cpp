#include "ChartTestUtil.h"

#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace thermo4::chart::test {
namespace {

// A control holding settings, data and annotations that differ from a fresh one.
void fill(Graph1& g) {
    fillFourChannels(g, 30);
    g.setMainTitle(QStringLiteral("Oven"));
    g.setSubsetLabel(2, QStringLiteral("T3"));
    g.setSubsetColor(3, QColor(255, 0, 255));
    g.setGridStyle(GridDotted);
    g.setYData(1, 7, 9999.0f);
    g.setGraphAnnotationType(4, AnnotationCross);
    g.setGraphAnnotationX(4, kT0 + 5 * kSecond);
    g.setGraphAnnotationY(4, 12.5);
    g.setGraphAnnotationColor(4, Qt::red);
    g.setTARows(15);
    g.setTAColumns(2);
    g.setTAText(14, 1, QStringLiteral("****"));
    g.setShowTableAnnotation(true);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class GraphStateFileTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

TEST_F(GraphStateFileTest, FileIsLengthThenBlock) {
    Graph1 g;
    fill(g);
    const QString file = path("run.ghf");
    QString error;
    ASSERT_TRUE(StoreGraphState(g, file, &error)) << error.toStdString();
    const QByteArray bytes = readAll(file);
    const QByteArray block = g.storeState();
    ASSERT_EQ(bytes.size(), block.size() + 4);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), quint32(block.size()));
    EXPECT_EQ(quint8(bytes[0]), quint8(block.size() & 0xFF)); // low byte first
    EXPECT_EQ(bytes.mid(4), block);
}

TEST_F(GraphStateFileTest, LoadIntoFreshControlReproducesIt) {
    Graph1 source;
    fill(source);
    const QString file = path("run.ghf");
    ASSERT_TRUE(StoreGraphState(source, file));
    Graph1 loaded;
    QString error;
    ASSERT_TRUE(LoadGraphState(loaded, file, &error)) << error.toStdString();
    EXPECT_EQ(loaded.state(), source.state());
    EXPECT_EQ(loaded.mainTitle(), QStringLiteral("Oven"));
    EXPECT_EQ(loaded.yData(1, 7), 9999.0f);
    EXPECT_EQ(loaded.graphAnnotationType(4), int(AnnotationCross));
    EXPECT_EQ(loaded.TAText(14, 1), QStringLiteral("****"));
    loaded.redraw(); // the loaded state draws: split into four axes, null drawn as a gap
    EXPECT_EQ(loaded.axisRectCount(), 4);
    EXPECT_TRUE(std::isnan(plotted(loaded, 1)[7].second));
}

TEST_F(GraphStateFileTest, StoringOverALongerFileLeavesOnlyTheNewContent) {
    const QString file = path("old.ghf");
    writeAll(file, QByteArray(200000, 'x'));
    Graph1 g;
    ASSERT_TRUE(StoreGraphState(g, file));
    EXPECT_EQ(readAll(file).size(), g.storeState().size() + 4);
}

TEST_F(GraphStateFileTest, StoreIntoMissingFolderFailsWithMessage) {
    Graph1 g;
    const QString file = path("template/graph.ghf");
    QString error;
    EXPECT_FALSE(StoreGraphState(g, file, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

// Every way a file can be unusable: each must fail with a message and leave the control as it was.
TEST_F(GraphStateFileTest, BadFilesLeaveTheControlUnchanged) {
    Graph1 source;
    fill(source);
    const QString good = path("good.ghf");
    ASSERT_TRUE(StoreGraphState(source, good));
    const QByteArray bytes = readAll(good);
    const qsizetype n = bytes.size() - 4;

    auto withLength = [&bytes](quint32 length) {
        QByteArray b = bytes;
        qToLittleEndian(length, b.data());
        return b;
    };
    auto flipped = [&bytes](qsizetype at) {
        QByteArray b = bytes;
        b[at] = char(b[at] ^ 0x01);
        return b;
    };
    struct Case {
        const char* name;
        std::optional<QByteArray> content; // none: the file does not exist
        const char* messageStart;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "Cannot open file"},
        {"empty", QByteArray(), "Stream read error"},
        {"two bytes", bytes.left(2), "Stream read error"},
        {"length only", bytes.left(4), "Stream read error"},
        {"half the block", bytes.left(4 + n / 2), "Stream read error"},
        {"one byte short", bytes.left(bytes.size() - 1), "Stream read error"},
        {"huge length", withLength(0xFFFFFFFFu), "\""},
        {"length past the end", withLength(quint32(n + 1)), "Stream read error"},
        {"length cuts the block", withLength(quint32(n - 1)), "\""},
        {"damaged data byte", flipped(bytes.size() - 20), "\""},
        {"damaged version", flipped(8), "\""},
        {"not a graph file", QByteArray("\x08\x00\x00\x00hello!!!", 12), "\""},
    };
    for (const Case& c : cases) {
        Graph1 target;
        target.setMainTitle(QStringLiteral("before"));
        target.setPoints(3);
        target.setYData(0, 1, 42.0f);
        const QByteArray before = target.storeState();
        const QString file = path(c.name);
        if (c.content)
            writeAll(file, *c.content);
        QString error;
        EXPECT_FALSE(LoadGraphState(target, file, &error)) << c.name;
        EXPECT_TRUE(error.startsWith(QString::fromLatin1(c.messageStart)))
            << c.name << ": " << error.toStdString();
        EXPECT_EQ(target.storeState(), before) << c.name;
    }
}

TEST_F(GraphStateFileTest, AFolderIsNotAGraphFile) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.ghf")));
    Graph1 g;
    const QByteArray before = g.storeState();
    QString error;
    EXPECT_FALSE(LoadGraphState(g, path("folder.ghf"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(g.storeState(), before);
    EXPECT_FALSE(StoreGraphState(g, path("folder.ghf"), &error));
    EXPECT_TRUE(QFileInfo(path("folder.ghf")).isDir());
}

TEST_F(GraphStateFileTest, BytesAfterTheBlockAreIgnored) {
    Graph1 source;
    fill(source);
    const QString file = path("tail.ghf");
    ASSERT_TRUE(StoreGraphState(source, file));
    writeAll(file, readAll(file) + QByteArray("tail"));
    Graph1 loaded;
    EXPECT_TRUE(LoadGraphState(loaded, file));
    EXPECT_EQ(loaded.state(), source.state());
}

} // namespace
} // namespace thermo4::chart::test
