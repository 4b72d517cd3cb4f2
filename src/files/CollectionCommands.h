#pragma once

namespace thermo4::ui {

class MainFrame;

/// Saves all data sets of the last load as a collection file (.ch4): a copy of
/// the temporary file that every load leaves. An existing file is replaced only
/// when the user confirms, and only once the copy is complete.
void SaveCollection(MainFrame& frame);

/// Opens a collection file into the DataLogger window (created or restored
/// first): decoded, listed, data set 1 drawn, kept as the temporary copy. A file
/// that cannot be read or does not decode changes nothing and says nothing.
void OpenCollection(MainFrame& frame);

} // namespace thermo4::ui
