#pragma once

#include <QString>

namespace thermo4::chart {

class Graph1;

/// Writes the control's whole state to `path` as a 4-byte little-endian length followed by
/// the state block. The file is replaced only once the new one is complete. On failure
/// returns false with the message for the application's error box in `error`.
bool StoreGraphState(const Graph1& control, const QString& path, QString* error = nullptr);

/// Reads a file written by StoreGraphState into the control. A missing, short, foreign or
/// damaged file returns false with a message and leaves the control as it was.
bool LoadGraphState(Graph1& control, const QString& path, QString* error = nullptr);

} // namespace thermo4::chart
