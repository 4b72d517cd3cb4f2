#pragma once

namespace thermo4::ui {

class MainFrame;

/// Saves all data sets of the last load as a collection file (.ch4): the memory
/// image they were decoded from. An existing file is replaced only when the user
/// confirms, and only once the new one is complete. The data count as saved
/// only when the file was written; true then.
bool SaveCollection(MainFrame& frame);

/// Opens a collection file into the DataLogger window (created or restored
/// first): decoded, listed, data set 1 drawn, kept as the temporary copy. A file
/// that cannot be read or does not decode changes nothing and says nothing.
void OpenCollection(MainFrame& frame);

} // namespace thermo4::ui
