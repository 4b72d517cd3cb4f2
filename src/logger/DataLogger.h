#pragma once

#include "core/DataSet.h"
#include "core/LinkResult.h"
#include "core/MemoryImage.h"

namespace thermo4::ui {

class MainFrame;
class TfrmGraph;

/// A load of the logger memory ended without data sets to show for a reason
/// already told to the user (the temporary folder could not be made).
inline constexpr core::LinkResult kLoadTempFolderFailed = -1;

/// The Data Logger command (menu "&Load " and the tool button): checks the
/// connection, downloads the logger memory over the live link, lists and draws
/// it in the DataLogger window, and hands the link back to the poll.
void DataLoggerCommand(MainFrame& frame);

/// Creates the DataLogger window (caption "DataLogger", data-set panel shown,
/// the main window's client size less 60 px, at the top-left corner, a blank
/// graph of 500 points from now (days) over 500 s), or brings it back to its
/// normal state when it exists.
TfrmGraph* OpenLoggerGraph(MainFrame& frame, double now);

/// Decodes image into the logger's data sets and, on success, lists them in the
/// DataLogger window, writes the image to the temporary file and draws data
/// set 1. Returns the decoder's code or kLoadTempFolderFailed (after showing the
/// folder's path). Any other code leaves the data sets, table and graph as they were.
core::LinkResult ShowLoadedImage(MainFrame& frame, const core::MemoryImage& image);

} // namespace thermo4::ui
