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

// Segments (alphabetical) of glyphs 0..24 as the meter's LCD shows them: the digits, the hex
// letters A b C d E F, blank, minus, L, o, r, t, n, H, and c alone (the meter's 7 has its f bar).
constexpr const char* kSegments[] = {"abcdef", "bc",      "abdeg",  "abcdg",  "bcfg",  "acdfg", "acdefg",
                                     "abcf",   "abcdefg", "abcdfg", "abcefg", "cdefg", "adef",  "bcdeg",
                                     "adefg",  "aefg",    "",       "g",      "def",   "cdeg",  "eg",
                                     "defg",   "ceg",     "bcefg",  "c"};

TEST(LcdGlyphs, EachGlyphLightsTheSegmentsOfItsCharacter) {
    for (int glyph = 0; glyph < 25; ++glyph) {
        SCOPED_TRACE(glyph);
        std::string small = kSegments[glyph];
        if (glyph == 21 || glyph == 22) // the small set's thermocouple letters n and r
            small = glyph == 21 ? "ceg" : "eg";
        const QImage large = DrawLcdGlyph(glyph, GlyphSize::Large);
        const QImage smallImage = DrawLcdGlyph(glyph, GlyphSize::Small);
        EXPECT_EQ(large.size(), QSize(30, 52));
        EXPECT_EQ(smallImage.size(), QSize(16, 26));
        EXPECT_EQ(segmentsLitIn(large, GlyphSize::Large), kSegments[glyph]);
        EXPECT_EQ(segmentsLitIn(smallImage, GlyphSize::Small), small);
    }
}

} // namespace
} // namespace thermo4::ui
