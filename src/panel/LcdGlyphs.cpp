#include "panel/LcdGlyphs.h"

#include "core/MeterStatus.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <array>

namespace thermo4::ui {

namespace {

/// Shape of a glyph cell in px: margins around the segments, segment thickness,
/// the gap between neighbouring segments, and the forward slant of the digits.
struct Geometry {
    double width;
    double height;
    double marginX;
    double marginY;
    double thickness;
    double gap;
    double slant; // x shift per px above the middle line

    double left() const { return marginX + thickness / 2; }
    double right() const { return width - marginX - thickness / 2; }
    double top() const { return marginY + thickness / 2; }
    double bottom() const { return height - marginY - thickness / 2; }
    double middle() const { return (top() + bottom()) / 2; }
    QTransform shear() const { return QTransform(1, 0, -slant, 1, slant * middle(), 0); }
};

Geometry geometryOf(GlyphSize size) {
    if (size == GlyphSize::Large)
        return {30, 52, 4.5, 3.5, 5.0, 1.0, 0.07};
    return {16, 26, 2.5, 2.0, 2.8, 0.6, 0.07};
}

// The small set's thermocouple letters: n (c, e, g) and r (e, g).
constexpr int kSmallN = 21;
constexpr int kSmallR = 22;
constexpr std::uint8_t kSegmentsN = 0x38;
constexpr std::uint8_t kSegmentsR = 0x18;

enum Segment { A, F, B, G, E, C, D };

/// A horizontal bar at y from x1 to x2 (or a vertical one at x from y1 to y2),
/// pointed at both ends so that neighbouring segments meet on a diagonal.
QPolygonF bar(const Geometry& g, bool horizontal, double at, double from, double to) {
    const double h = g.thickness / 2;
    from += g.gap;
    to -= g.gap;
    QPolygonF p;
    if (horizontal) {
        p << QPointF(from, at) << QPointF(from + h, at - h) << QPointF(to - h, at - h) << QPointF(to, at)
          << QPointF(to - h, at + h) << QPointF(from + h, at + h);
    } else {
        p << QPointF(at, from) << QPointF(at + h, from + h) << QPointF(at + h, to - h) << QPointF(at, to)
          << QPointF(at - h, to - h) << QPointF(at - h, from + h);
    }
    return p;
}

QPolygonF segmentShape(const Geometry& g, int segment) {
    switch (segment) {
    case A:
        return bar(g, true, g.top(), g.left(), g.right());
    case F:
        return bar(g, false, g.left(), g.top(), g.middle());
    case B:
        return bar(g, false, g.right(), g.top(), g.middle());
    case G:
        return bar(g, true, g.middle(), g.left(), g.right());
    case E:
        return bar(g, false, g.left(), g.middle(), g.bottom());
    case C:
        return bar(g, false, g.right(), g.middle(), g.bottom());
    default:
        return bar(g, true, g.bottom(), g.left(), g.right());
    }
}

} // namespace

QSize GlyphPixelSize(GlyphSize size) {
    const Geometry g = geometryOf(size);
    return {static_cast<int>(g.width), static_cast<int>(g.height)};
}

std::uint8_t GlyphSegments(int glyph, GlyphSize size) {
    if (glyph < 0 || glyph >= core::kGlyphCount)
        return 0;
    if (size == GlyphSize::Small && glyph == kSmallN)
        return kSegmentsN;
    if (size == GlyphSize::Small && glyph == kSmallR)
        return kSegmentsR;
    // The T1/T3 segment code of a glyph lists its segments in this very bit order.
    return core::TableACodeForGlyph(static_cast<std::uint8_t>(glyph));
}

QPointF SegmentCentre(int segment, GlyphSize size) {
    const Geometry g = geometryOf(size);
    const double midX = (g.left() + g.right()) / 2;
    const std::array<QPointF, kSegmentCount> centres{{
        {midX, g.top()},
        {g.left(), (g.top() + g.middle()) / 2},
        {g.right(), (g.top() + g.middle()) / 2},
        {midX, g.middle()},
        {g.left(), (g.middle() + g.bottom()) / 2},
        {g.right(), (g.middle() + g.bottom()) / 2},
        {midX, g.bottom()},
    }};
    if (segment < 0 || segment >= kSegmentCount)
        return {};
    return g.shear().map(centres[static_cast<std::size_t>(segment)]);
}

QImage DrawLcdGlyph(int glyph, GlyphSize size) {
    const Geometry g = geometryOf(size);
    QImage image(GlyphPixelSize(size), QImage::Format_RGB32);
    image.fill(kLcdBackground);
    const std::uint8_t lit = GlyphSegments(glyph, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLcdSegment);
    painter.setTransform(g.shear());
    for (int segment = 0; segment < kSegmentCount; ++segment) {
        if (lit & (1u << segment))
            painter.drawPolygon(segmentShape(g, segment));
    }
    return image;
}

QString GlyphResourceName(int glyph, GlyphSize size) {
    return QStringLiteral("%1%2")
        .arg(size == GlyphSize::Large ? QStringLiteral("LCD") : QStringLiteral("LCDS"))
        .arg(glyph);
}

} // namespace thermo4::ui
