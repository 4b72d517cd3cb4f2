#pragma once

namespace thermo4::ui {

/// Registers the program's compiled-in resources (icons, glyphs, pictures).
/// They live in a static library, so the executable and every GUI test call
/// this once after creating the application object.
void InitResources();

} // namespace thermo4::ui
