#pragma once

#include "core/DataSet.h"
#include "core/MemoryImage.h"

namespace thermo4::ui {

/// The data sets of the last successful logger load (download or collection
/// file) and whether they are saved; a failed load leaves them as they were.
struct LoggerData {
    core::DataSetCollection dataSets;
    /// The memory image those data sets were decoded from: what a collection file saves.
    core::MemoryImage image;
    /// The DataLogger window holds data not yet saved.
    bool loggerUnsaved = false;
};

/// What every graph window shares: the marks' colour, numbering and the click tool.
struct GraphShared {
    /// Value of annotationCount with no user mark: marks are numbered from here + 1
    /// (index 2 is the data-point label).
    static constexpr int kMarkBase = 3;
    /// What a click on a graph does.
    static constexpr int kNormalTool = -99;

    /// Colour of graph annotations (0x00BBGGRR); persisted as "AnnoColor".
    int annoColor = 0;
    /// Index of the last user mark; the next mark takes the next index.
    int annotationCount = kMarkBase;
    /// -99 nothing, 0 a text mark, 2 a cross.
    int clickTool = kNormalTool;
};

} // namespace thermo4::ui
