#pragma once

#include <QString>

#include <functional>

namespace thermo4::link {

/// Called before each port the search over serial ports tries: its index and
/// the progress window's title text ("Searching on " and the device).
using SerialSearchProgress = std::function<void(int index, const QString& title)>;

} // namespace thermo4::link
