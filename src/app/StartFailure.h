#pragma once

#include <QString>

#include <cstdio>

namespace thermo4::ui {

class Prompts;

/// Says why the program cannot start: "thermo4: " and message on stream, and the message in
/// an error box when box is given, so that a user who started the program from a desktop
/// launcher, with no terminal to read, sees it too.
void ReportStartFailure(const QString& message, std::FILE* stream, Prompts* box);

/// Whether message boxes on this window-system platform reach a user: not on the offscreen
/// or minimal platforms of headless runs, where a box would only wait for an answer.
bool PlatformShowsBoxes(const QString& platformName);

} // namespace thermo4::ui
