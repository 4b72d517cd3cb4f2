#include "panel/LcdGlyphs.h"
#include "core/MeterStatus.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace thermo4::ui {
namespace {

/// The segments lit in a drawn glyph, read back from the dark pixel at each segment's centre.
std::string segmentsLitIn(const QImage& image, GlyphSize size) {
    static const char kNames[] = "afbgecd"; // segment bits 0..6
    std::string lit;
    for (int s = 0; s < kSegmentCount; ++s) {
        const QColor pixel = image.pixelColor(SegmentCentre(s, size).toPoint());
        if (pixel.lightness() < 80)
            lit += kNames[s];
        else
            EXPECT_EQ(pixel, kLcdBackground) << "segment " << kNames[s] << " is neither lit nor dark";
    }
    std::sort(lit.begin(), lit.end());
    return lit;
}

struct GlyphCase {
    int glyph;
    const char* large; // segments, in alphabetical order
    const char* small;
};

// How the meter's LCD shows each glyph index.
constexpr GlyphCase kGlyphs[] = {
    {0, "abcdef", "abcdef"},
    {1, "bc", "bc"},
    {2, "abdeg", "abdeg"},
    {3, "abcdg", "abcdg"},
    {4, "bcfg", "bcfg"},
    {5, "acdfg", "acdfg"},
    {6, "acdefg", "acdefg"},
    {7, "abcf", "abcf"},
    {8, "abcdefg", "abcdefg"},
    {9, "abcdfg", "abcdfg"},
    {10, "abcefg", "abcefg"}, // A
    {11, "cdefg", "cdefg"},   // b
    {12, "adef", "adef"},     // C
    {13, "bcdeg", "bcdeg"},   // d
    {14, "adefg", "adefg"},   // E
    {15, "aefg", "aefg"},     // F
    {16, "", ""},             // blank
    {17, "g", "g"},           // minus
    {18, "def", "def"},       // L
    {19, "cdeg", "cdeg"},     // o
    {20, "eg", "eg"},         // r
    {21, "defg", "ceg"},      // t; small: n, the thermocouple letter N
    {22, "ceg", "eg"},        // n; small: r, the thermocouple letter R
    {23, "bcefg", "bcefg"},   // H
    {24, "c", "c"},
};

TEST(LcdGlyphs, EachGlyphLightsTheSegmentsOfItsCharacter) {
    for (const GlyphCase& c : kGlyphs) {
        SCOPED_TRACE(c.glyph);
        const QImage large = DrawLcdGlyph(c.glyph, GlyphSize::Large);
        const QImage small = DrawLcdGlyph(c.glyph, GlyphSize::Small);
        EXPECT_EQ(large.size(), QSize(30, 52));
        EXPECT_EQ(small.size(), QSize(16, 26));
        EXPECT_EQ(segmentsLitIn(large, GlyphSize::Large), c.large);
        EXPECT_EQ(segmentsLitIn(small, GlyphSize::Small), c.small);
    }
}

TEST(LcdGlyphs, IndicesOutsideTheSetsAreBlank) {
    const QImage blank = DrawLcdGlyph(core::kGlyphBlank, GlyphSize::Large);
    for (int glyph : {-1, 25, 255})
        EXPECT_EQ(DrawLcdGlyph(glyph, GlyphSize::Large), blank) << glyph;
}

} // namespace
} // namespace thermo4::ui
