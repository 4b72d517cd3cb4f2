#include "chart/GraphState.h"

#include <QDataStream>
#include <QIODevice>

#include <array>
#include <bit>

namespace thermo4::chart {

bool TableAnnotation::resize(int newRows, int newColumns) {
    if (newRows < 0 || newColumns < 0 || qint64(newRows) * newColumns > kMaxTableCells)
        return false;
    std::vector<QString> newText(std::size_t(newRows) * newColumns);
    std::vector<QColor> newColors(newText.size(), QColor(Qt::black));
    for (int r = 0; r < std::min(rows, newRows); ++r) {
        for (int c = 0; c < std::min(columns, newColumns); ++c) {
            newText[std::size_t(r) * newColumns + c] = text[cellIndex(r, c)];
            newColors[std::size_t(r) * newColumns + c] = colors[cellIndex(r, c)];
        }
    }
    rows = newRows;
    columns = newColumns;
    text = std::move(newText);
    colors = std::move(newColors);
    return true;
}

GraphState::GraphState() {
    resizeData(subsets, points);
}

bool GraphState::resizeData(int newSubsets, int newPoints) {
    if (newSubsets < 0 || newSubsets > kMaxSubsets || newPoints < 0 || newPoints > kMaxPoints)
        return false;
    const auto null = float(settings.nullDataValueY);
    x.resize(std::size_t(newSubsets));
    y.resize(std::size_t(newSubsets));
    for (int s = 0; s < newSubsets; ++s) {
        x[s].resize(std::size_t(newPoints), 0.0);
        y[s].resize(std::size_t(newPoints), null);
    }
    subsets = newSubsets;
    points = newPoints;
    return true;
}

SubsetStyle& GraphState::subsetStyle(int subset) {
    if (subsetStyles.size() <= std::size_t(subset))
        subsetStyles.resize(std::size_t(subset) + 1);
    return subsetStyles[std::size_t(subset)];
}

AxisState& GraphState::axis(int index) {
    if (axes.size() <= std::size_t(index))
        axes.resize(std::size_t(index) + 1);
    return axes[std::size_t(index)];
}

std::uint32_t crc32(const char* data, qsizetype size) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ std::uint8_t(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

namespace {

// The field lists below are shared by the writer and the reader, so the two cannot drift apart.
template <class V, class S> void visitSettings(V& v, S& s) {
    v(s.nullDataValueY), v(s.subsetByPoint), v(s.usingXDataII), v(s.dateTimeMode), v(s.lineGapThreshold);
    v(s.manualScaleControlX), v(s.manualMinX), v(s.manualMaxX), v(s.workingAxis), v(s.multiAxesSeparators);
    v(s.mainTitle), v(s.subTitle), v(s.xAxisLabel), v(s.fontFamily), v(s.fontSize), v(s.gridStyle);
    v(s.graphForeColor), v(s.graphBackColor), v(s.deskColor), v(s.textColor), v(s.showLegend);
    v(s.allowZooming), v(s.scrollingHorzZoom), v(s.scrollingVertZoom), v(s.allowDataHotSpots);
    v(s.allowGraphHotSpots), v(s.allowGraphAnnotHotSpots), v(s.allowVertLineAnnotHotSpots);
    v(s.allowPopup), v(s.arrowCursor);
    v(s.showGraphAnnotations), v(s.graphAnnotationTextSize), v(s.showVertLineAnnotations);
    v(s.lineAnnotationTextSize);
    v(s.allowAxisPage), v(s.allowFontPage), v(s.allowPage1), v(s.allowPage2), v(s.allowSubsetsPage);
    v(s.prepareImages), v(s.noHelp), v(s.allowDataLabels), v(s.noRandomPointsToExport), v(s.focalRect);
    v(s.allowBar);
}
template <class V, class S>
void visitItem(V& v, S& s) requires std::is_same_v<std::remove_const_t<S>, SubsetStyle> {
    v(s.label), v(s.color), v(s.lineWidth);
}
template <class V, class S>
void visitItem(V& v, S& a) requires std::is_same_v<std::remove_const_t<S>, AxisState> {
    v(a.subsets), v(a.proportion), v(a.manualScaleControlY), v(a.manualMinY), v(a.manualMaxY), v(a.label);
    v.since(2, a.holdRange);
}
template <class V, class S>
void visitItem(V& v, S& a) requires std::is_same_v<std::remove_const_t<S>, GraphAnnotation> {
    v(a.x), v(a.y), v(a.type), v(a.text), v(a.color);
}
template <class V, class S>
void visitItem(V& v, S& a) requires std::is_same_v<std::remove_const_t<S>, LineAnnotation> {
    v(a.x), v(a.color), v(a.text);
}
template <class V, class S> void visitTableSettings(V& v, S& t) {
    v(t.show), v(t.location), v(t.x), v(t.y), v(t.moveable), v(t.backColor), v(t.headerRows);
    v(t.headerColumn), v(t.border), v(t.textSize);
}

// Smallest encoded size of each element kind, used to refuse counts the block cannot hold.
constexpr qint64 kMinStringBytes = 4;
constexpr qint64 kMinSubsetStyleBytes = kMinStringBytes + 4 + 8;
constexpr qint64 kMinAxisBytes = 4 + 8 + 4 + 8 + 8 + kMinStringBytes;
constexpr qint64 kMinAnnotationBytes = 8 + 8 + 4 + kMinStringBytes + 4;
constexpr qint64 kMinLineAnnotationBytes = 8 + 4 + kMinStringBytes;
constexpr qint64 kMinCellBytes = kMinStringBytes + 4;
constexpr qint64 kPointBytes = 8 + 4;

class Writer {
public:
    explicit Writer(QByteArray* out) : m_stream(out, QIODevice::WriteOnly) {
        m_stream.setByteOrder(QDataStream::LittleEndian);
    }
    void operator()(bool v) { m_stream << quint8(v ? 1 : 0); }
    void operator()(int v) { m_stream << qint32(v); }
    void operator()(double v) { m_stream << std::bit_cast<quint64>(v); }
    void operator()(float v) { m_stream << std::bit_cast<quint32>(v); }
    void operator()(const QColor& c) { m_stream << quint32(c.rgba()); }
    void operator()(const QString& s) {
        const QByteArray utf8 = s.toUtf8();
        m_stream << quint32(utf8.size());
        m_stream.writeRawData(utf8.constData(), int(utf8.size()));
    }
    void since(std::uint32_t, bool v) { (*this)(v); }
    void count(std::size_t n) { m_stream << quint32(n); }
    template <class T> void items(const std::vector<T>& list) {
        count(list.size());
        for (const T& item : list)
            visitItem(*this, item);
    }

private:
    QDataStream m_stream;
};

class Reader {
public:
    Reader(const QByteArray& body, std::uint32_t version) : m_stream(body), m_version(version) {
        m_stream.setByteOrder(QDataStream::LittleEndian);
    }
    bool ok() const { return m_error.isEmpty() && m_stream.status() == QDataStream::Ok; }
    const QString& error() const { return m_error; }
    void fail(const QString& why) {
        if (m_error.isEmpty())
            m_error = why;
    }
    qint64 remaining() const { return m_stream.device()->bytesAvailable(); }

    /// A field that blocks of older versions do not hold: they keep the default.
    void since(std::uint32_t version, bool& v) {
        if (m_version >= version)
            (*this)(v);
    }
    void operator()(bool& v) {
        quint8 b = 0;
        m_stream >> b;
        if (b > 1)
            fail(QStringLiteral("bad flag"));
        v = b != 0;
    }
    void operator()(int& v) {
        qint32 i = 0;
        m_stream >> i;
        v = i;
    }
    void operator()(double& v) {
        quint64 bits = 0;
        m_stream >> bits;
        v = std::bit_cast<double>(bits);
    }
    void operator()(float& v) {
        quint32 bits = 0;
        m_stream >> bits;
        v = std::bit_cast<float>(bits);
    }
    void operator()(QColor& c) {
        quint32 rgba = 0;
        m_stream >> rgba;
        c = QColor::fromRgba(rgba);
    }
    void operator()(QString& s) {
        quint32 n = 0;
        m_stream >> n;
        if (!ok() || qint64(n) > remaining()) {
            fail(QStringLiteral("text runs past the end"));
            return;
        }
        QByteArray utf8(qsizetype(n), Qt::Uninitialized);
        if (m_stream.readRawData(utf8.data(), int(n)) != int(n))
            fail(QStringLiteral("text runs past the end"));
        s = QString::fromUtf8(utf8);
    }
    /// Reads an element count and checks that the rest of the block can hold that many.
    bool count(qint64 minElementBytes, qint64 cap, qint64& n) {
        quint32 c = 0;
        m_stream >> c;
        n = c;
        if (!ok())
            return false;
        if (n > cap || n * minElementBytes > remaining()) {
            fail(QStringLiteral("a count does not fit the block"));
            return false;
        }
        return true;
    }
    template <class T> void items(std::vector<T>& list, qint64 minBytes, qint64 cap) {
        qint64 n = 0;
        if (!count(minBytes, cap, n))
            return;
        list.assign(std::size_t(n), T{});
        for (T& item : list) {
            visitItem(*this, item);
            if (!ok())
                return;
        }
    }

private:
    QDataStream m_stream;
    std::uint32_t m_version;
    QString m_error;
};

bool inRange(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

QString validate(const GraphState& st) {
    const GraphSettings& s = st.settings;
    if (!inRange(s.manualScaleControlX, ScaleAuto, ScaleManual) ||
        !inRange(s.allowZooming, ZoomNone, ZoomBoth) || !inRange(s.gridStyle, GridSolid, GridNone) ||
        !inRange(s.dateTimeMode, 0, 1) || !inRange(s.workingAxis, 0, kMaxAxes - 1) ||
        !inRange(s.multiAxesSeparators, 0, 3) || !inRange(s.fontSize, 1, 200) ||
        !inRange(s.arrowCursor, 0, 3) || !inRange(s.graphAnnotationTextSize, 1, 1000) ||
        !inRange(s.lineAnnotationTextSize, 1, 1000))
        return QStringLiteral("a setting is out of range");
    for (const AxisState& a : st.axes) {
        if (!inRange(a.manualScaleControlY, ScaleAuto, ScaleManual) || !inRange(a.subsets, 0, kMaxSubsets))
            return QStringLiteral("an axis setting is out of range");
    }
    for (const SubsetStyle& style : st.subsetStyles) {
        if (!(style.lineWidth >= 0.0 && style.lineWidth <= 100.0))
            return QStringLiteral("a line width is out of range");
    }
    const TableAnnotation& t = st.table;
    if (!inRange(t.border, BorderNone, BorderInset) || !inRange(t.textSize, 1, 1000) ||
        !inRange(t.x, -100000, 100000) || !inRange(t.y, -100000, 100000) || t.headerRows < 0)
        return QStringLiteral("a table setting is out of range");
    return {};
}

} // namespace

QByteArray serializeGraphState(const GraphState& st) {
    QByteArray out;
    {
        Writer w(&out);
        w(int(kStateMagic)), w(int(kStateVersion));
        visitSettings(w, st.settings);
        w.items(st.subsetStyles);
        w.items(st.axes);
        w.items(st.annotations);
        w.items(st.lineAnnotations);
        w(st.table.rows), w(st.table.columns);
        for (std::size_t i = 0; i < st.table.text.size(); ++i)
            w(st.table.text[i]), w(st.table.colors[i]);
        visitTableSettings(w, st.table);
        w(st.subsets), w(st.points);
        for (int s = 0; s < st.subsets; ++s) {
            for (double v : st.x[s])
                w(v);
            for (float v : st.y[s])
                w(v);
        }
    }
    const std::uint32_t crc = crc32(out.constData(), out.size());
    for (int i = 0; i < 4; ++i)
        out.append(char((crc >> (8 * i)) & 0xFF));
    return out;
}

bool parseGraphState(const QByteArray& block, GraphState& out, QString* error) {
    auto refuse = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (block.size() < 12)
        return refuse(QStringLiteral("the graph data are too short"));
    const auto word = [&block](qsizetype at) {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(std::uint8_t(block[at + i])) << (8 * i);
        return v;
    };
    if (word(0) != kStateMagic)
        return refuse(QStringLiteral("the data are not graph data"));
    const std::uint32_t version = word(4);
    if (version < kOldestStateVersion || version > kStateVersion)
        return refuse(QStringLiteral("graph data of version %1 are not supported").arg(version));
    const qsizetype bodyEnd = block.size() - 4;
    if (crc32(block.constData(), bodyEnd) != word(bodyEnd))
        return refuse(QStringLiteral("the graph data are corrupt (checksum mismatch)"));

    GraphState st;
    Reader r(QByteArray::fromRawData(block.constData() + 8, bodyEnd - 8), version);
    visitSettings(r, st.settings);
    r.items(st.subsetStyles, kMinSubsetStyleBytes, kMaxSubsets);
    r.items(st.axes, kMinAxisBytes, kMaxAxes);
    r.items(st.annotations, kMinAnnotationBytes, kMaxGraphAnnotations);
    r.items(st.lineAnnotations, kMinLineAnnotationBytes, kMaxLineAnnotations);
    int rows = 0, columns = 0;
    r(rows), r(columns);
    if (r.ok() && (rows < 0 || columns < 0 || qint64(rows) * columns > kMaxTableCells ||
                   qint64(rows) * columns * kMinCellBytes > r.remaining()))
        r.fail(QStringLiteral("the table does not fit the block"));
    if (r.ok()) {
        st.table.resize(rows, columns);
        for (std::size_t i = 0; i < st.table.text.size() && r.ok(); ++i)
            r(st.table.text[i]), r(st.table.colors[i]);
    }
    visitTableSettings(r, st.table);
    int subsets = 0, points = 0;
    r(subsets), r(points);
    if (r.ok() && (subsets < 0 || subsets > kMaxSubsets || points < 0 || points > kMaxPoints ||
                   qint64(subsets) * points * kPointBytes != r.remaining()))
        r.fail(QStringLiteral("the data do not match their size"));
    if (r.ok()) {
        st.resizeData(subsets, points);
        for (int s = 0; s < subsets && r.ok(); ++s) {
            for (double& v : st.x[s])
                r(v);
            for (float& v : st.y[s])
                r(v);
        }
    }
    if (!r.ok())
        return refuse(QStringLiteral("the graph data are damaged: %1")
                          .arg(r.error().isEmpty() ? QStringLiteral("they end too early") : r.error()));
    if (r.remaining() != 0)
        return refuse(QStringLiteral("the graph data are damaged: unexpected bytes at the end"));
    if (const QString why = validate(st); !why.isEmpty())
        return refuse(QStringLiteral("the graph data are damaged: %1").arg(why));
    out = std::move(st);
    return true;
}

} // namespace thermo4::chart
