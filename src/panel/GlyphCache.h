#pragma once

#include "core/MeterStatus.h"

#include <QPixmap>

#include <array>

namespace thermo4::ui {

/// Large or small LCD glyph bitmaps, index 0..24.
using GlyphSet = std::array<QPixmap, core::kGlyphCount>;

/// Loads the glyph bitmaps from the resources ":/glyphs/LCD0".."LCD24" and
/// "LCDS0".."LCDS24" once for the whole program. Each set stops at its first
/// glyph that does not load; the rest stay empty. Later calls do nothing.
void LoadLcdGlyphs();
/// The large glyphs (30 × 52 px); loaded on first use if LoadLcdGlyphs was not called.
const GlyphSet& LargeLcdGlyphs();
/// The small glyphs (16 × 26 px).
const GlyphSet& SmallLcdGlyphs();

} // namespace thermo4::ui
