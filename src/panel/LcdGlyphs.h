#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include <cstdint>

namespace thermo4::ui {

/// The two glyph sets of the LCD: large digits (30 × 52 px) and small digits (16 × 26 px).
enum class GlyphSize { Large, Small };

/// Colour of the LCD window behind the segments, and of a lit segment.
inline const QColor kLcdBackground{0xC3, 0xCD, 0xB4};
inline const QColor kLcdSegment{0x14, 0x16, 0x12};

/// Segment bits in the order the T1/T3 digits carry them: bit 0 a (top), 1 f (top left),
/// 2 b (top right), 3 g (middle), 4 e (bottom left), 5 c (bottom right), 6 d (bottom).
inline constexpr int kSegmentCount = 7;

QSize GlyphPixelSize(GlyphSize size);

/// Segments lit by glyph index 0..24 (0–9 digits, 10–15 the hex letters, 16 blank,
/// 17 minus, 18 L, 19–24 the remaining letters); 0 for any other index. The small set
/// holds the thermocouple letters n and r at 21 and 22, where the panel looks for them.
std::uint8_t GlyphSegments(int glyph, GlyphSize size);

/// Centre of segment 0..6 inside a glyph bitmap (px), the point that is dark when it is lit.
QPointF SegmentCentre(int segment, GlyphSize size);

/// The glyph drawn as seven-segment shapes in kLcdSegment on kLcdBackground.
QImage DrawLcdGlyph(int glyph, GlyphSize size);

/// Resource name of a glyph: "LCD7", "LCDS21".
QString GlyphResourceName(int glyph, GlyphSize size);

} // namespace thermo4::ui
