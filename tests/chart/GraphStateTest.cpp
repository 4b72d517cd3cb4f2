#include "ChartTestUtil.h"

#include "chart/GraphState.h"

#include <gtest/gtest.h>

#include <cstring>

namespace thermo4::chart::test {
namespace {

void putWord(QByteArray& block, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        block[at + i] = char((v >> (8 * i)) & 0xFF);
}

// Rewrites the trailing checksum so that a deliberate change inside the body passes it.
void resign(QByteArray& block) {
    putWord(block, block.size() - 4, crc32(block.constData(), block.size() - 4));
}

TEST(GraphStateTest, RoundTripKeepsEveryField) {
    const GraphState rich = richState();
    ASSERT_NE(rich, GraphState{});
    ASSERT_NE(rich.settings, GraphSettings{});
    GraphState loaded;
    QString error;
    ASSERT_TRUE(parseGraphState(serializeGraphState(rich), loaded, &error)) << error.toStdString();
    EXPECT_EQ(loaded, rich);
    // Spot checks that say which part broke if the comparison above fails.
    EXPECT_EQ(loaded.settings.subTitle, QStringLiteral("Zone 2 – °C"));
    EXPECT_EQ(loaded.annotations[5].text, QStringLiteral("door opened"));
    EXPECT_EQ(loaded.table.backColor.alpha(), 129);
    EXPECT_EQ(loaded.y[1][3], 8888.0f);
}

TEST(GraphStateTest, RoundTripOfEmptyGraph) {
    GraphState empty;
    empty.resizeData(0, 0);
    GraphState loaded = richState();
    ASSERT_TRUE(parseGraphState(serializeGraphState(empty), loaded));
    EXPECT_EQ(loaded, empty);
}

TEST(GraphStateTest, BlockStartsWithMagicAndVersion) {
    const QByteArray block = serializeGraphState(GraphState{});
    EXPECT_EQ(block.left(4), QByteArray("T4GS"));
    EXPECT_EQ(block.mid(4, 4), QByteArray("\x02\x00\x00\x00", 4));
}

TEST(GraphStateTest, AVersionOneBlockLoadsWithAxesThatWidenToTheirData) {
    // Version 1 wrote no holdRange after each axis's label: drop that byte and the version.
    GraphState st = richState();
    st.axes[0].label = QStringLiteral("axis-A");
    st.axes[1].label = QStringLiteral("axis-B");
    QByteArray block = serializeGraphState(st);
    for (const char* label : {"axis-A", "axis-B"}) {
        const qsizetype at = block.indexOf(label);
        ASSERT_GE(at, 0);
        block.remove(at + qsizetype(std::strlen(label)), 1);
    }
    putWord(block, 4, 1);
    resign(block);
    GraphState loaded;
    QString error;
    ASSERT_TRUE(parseGraphState(block, loaded, &error)) << error.toStdString();
    st.axes[0].holdRange = false;
    EXPECT_EQ(loaded, st);
}

TEST(GraphStateTest, EveryTruncationIsRefusedAndLeavesTheTargetAlone) {
    const QByteArray block = serializeGraphState(richState());
    const GraphState sentinel = [] {
        GraphState s;
        s.settings.mainTitle = QStringLiteral("untouched");
        return s;
    }();
    for (qsizetype length = 0; length < block.size(); ++length) {
        GraphState target = sentinel;
        QString error;
        EXPECT_FALSE(parseGraphState(block.left(length), target, &error)) << "length " << length;
        EXPECT_FALSE(error.isEmpty()) << "length " << length;
        EXPECT_EQ(target, sentinel) << "length " << length;
    }
}

TEST(GraphStateTest, DamagedBytesAreRefused) {
    const QByteArray block = serializeGraphState(richState());
    // Magic, version, a settings byte, a text byte, a data byte, the checksum itself.
    for (qsizetype at :
         {qsizetype(0), qsizetype(5), qsizetype(20), block.size() / 3, block.size() - 10, block.size() - 2}) {
        QByteArray damaged = block;
        damaged[at] = char(damaged[at] ^ 0x5A);
        GraphState target;
        EXPECT_FALSE(parseGraphState(damaged, target)) << "byte " << at;
    }
}

TEST(GraphStateTest, OtherVersionIsRefusedByName) {
    for (const std::uint32_t version : {0u, 3u}) {
        QByteArray block = serializeGraphState(GraphState{});
        putWord(block, 4, version);
        resign(block);
        GraphState target;
        QString error;
        EXPECT_FALSE(parseGraphState(block, target, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("version %1").arg(version))) << error.toStdString();
    }
}

TEST(GraphStateTest, TrailingBytesAreRefused) {
    QByteArray block = serializeGraphState(GraphState{});
    block.insert(block.size() - 4, QByteArray(3, '\0'));
    resign(block);
    GraphState target;
    EXPECT_FALSE(parseGraphState(block, target));
}

// A block with a valid checksum whose sizes promise more than it holds must be refused before
// anything that large is allocated.
TEST(GraphStateTest, SizesBeyondTheBlockAreRefused) {
    GraphState st;
    st.resizeData(0, 0);
    const QByteArray good = serializeGraphState(st);
    struct Case {
        std::uint32_t subsets, points;
    };
    const Case cases[] = {{0, 0x7FFFFFFF}, {1, 1}, {4, 99999}, {17, 0}, {0xFFFFFFFF, 0}, {0, 0xFFFFFFFF}};
    for (const Case& c : cases) {
        QByteArray block = good;
        putWord(block, block.size() - 12, c.subsets); // the two sizes end the body
        putWord(block, block.size() - 8, c.points);
        resign(block);
        GraphState target;
        QString error;
        EXPECT_FALSE(parseGraphState(block, target, &error)) << c.subsets << " x " << c.points;
        EXPECT_FALSE(error.isEmpty());
    }
    // The unpatched block itself is good, so the refusals above come from the sizes.
    GraphState target;
    EXPECT_TRUE(parseGraphState(good, target));
}

TEST(GraphStateTest, OutOfRangeSettingIsRefused) {
    GraphState st;
    st.settings.gridStyle = 9;
    GraphState target;
    QString error;
    EXPECT_FALSE(parseGraphState(serializeGraphState(st), target, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("out of range"))) << error.toStdString();
}

TEST(GraphStateTest, ResizeDataKeepsCellsAndBlanksNewOnes) {
    GraphState st;
    st.resizeData(2, 3);
    st.x[1][2] = kT0;
    st.y[1][2] = 25.5f;
    ASSERT_TRUE(st.resizeData(3, 5));
    EXPECT_EQ(st.x[1][2], kT0);
    EXPECT_EQ(st.y[1][2], 25.5f);
    EXPECT_TRUE(st.isBlank(2, 4));
    EXPECT_TRUE(st.isBlank(0, 3));
    EXPECT_FALSE(st.resizeData(kMaxSubsets + 1, 1));
    EXPECT_FALSE(st.resizeData(1, -1));
    EXPECT_EQ(st.subsets, 3);
    EXPECT_EQ(st.points, 5);
}

TEST(GraphStateTest, TableResizeKeepsCellsInPlace) {
    TableAnnotation t;
    ASSERT_TRUE(t.resize(2, 2));
    t.text[t.cellIndex(1, 1)] = QStringLiteral("kept");
    t.colors[t.cellIndex(1, 0)] = Qt::red;
    ASSERT_TRUE(t.resize(3, 4));
    EXPECT_EQ(t.text[t.cellIndex(1, 1)], QStringLiteral("kept"));
    EXPECT_EQ(t.colors[t.cellIndex(1, 0)], QColor(Qt::red));
    EXPECT_TRUE(t.text[t.cellIndex(2, 3)].isEmpty());
    EXPECT_FALSE(t.resize(kMaxTableCells, 2));
    EXPECT_EQ(t.rows, 3);
}

TEST(GraphStateTest, Crc32MatchesTheStandardCheckValue) {
    EXPECT_EQ(crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32("", 0), 0u);
}

} // namespace
} // namespace thermo4::chart::test
