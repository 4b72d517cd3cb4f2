#include "panel/GlyphCache.h"

#include <QString>

namespace thermo4::ui {

namespace {

struct Glyphs {
    GlyphSet large;
    GlyphSet small;
    bool loaded = false;
};

Glyphs& glyphs() {
    static Glyphs instance;
    return instance;
}

void loadSet(GlyphSet& set, const QString& name) {
    for (int i = 0; i < core::kGlyphCount; ++i) {
        QPixmap glyph(QStringLiteral(":/glyphs/%1%2").arg(name).arg(i));
        if (glyph.isNull())
            break;
        set[static_cast<std::size_t>(i)] = glyph;
    }
}

} // namespace

void LoadLcdGlyphs() {
    Glyphs& g = glyphs();
    if (g.loaded)
        return;
    g.loaded = true;
    loadSet(g.large, QStringLiteral("LCD"));
    loadSet(g.small, QStringLiteral("LCDS"));
}

const GlyphSet& LargeLcdGlyphs() {
    LoadLcdGlyphs();
    return glyphs().large;
}

const GlyphSet& SmallLcdGlyphs() {
    LoadLcdGlyphs();
    return glyphs().small;
}

} // namespace thermo4::ui
