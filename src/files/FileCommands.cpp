#include "files/FileCommands.h"

#include "files/CollectionCommands.h"
#include "files/TfrmOpenSave.h"
#include "graph/TfrmGraph.h"
#include "ui/MainFrame.h"

#include <QLocale>

namespace thermo4::ui {

namespace {

TfrmOpenSave::Choice choose(MainFrame& frame, TfrmOpenSave::Mode mode) {
    TfrmOpenSave dialog(mode, QLocale().decimalPoint() == QLatin1String(","), frame.frameWidget());
    return dialog.choose();
}

} // namespace

void OpenFileCommand(MainFrame& frame) {
    switch (choose(frame, TfrmOpenSave::Mode::Open)) {
    case TfrmOpenSave::Choice::Collection:
        OpenCollection(frame);
        break;
    case TfrmOpenSave::Choice::SingleFile:
        // Graph and text files open with the single-file commands, not built yet.
    case TfrmOpenSave::Choice::Cancel:
        break;
    }
}

void SaveFileCommand(MainFrame& frame) {
    auto* graph = qobject_cast<TfrmGraph*>(frame.activeChild());
    // Tables are saved as text by the single-file commands, not built yet.
    if (!graph)
        return;
    if (!graph->isDataLogger()) {
        graph->SaveGraph();
        return;
    }
    switch (choose(frame, TfrmOpenSave::Mode::Save)) {
    case TfrmOpenSave::Choice::Collection:
        SaveCollection(frame);
        break;
    case TfrmOpenSave::Choice::SingleFile:
        graph->SaveGraph();
        break;
    case TfrmOpenSave::Choice::Cancel:
        break;
    }
}

} // namespace thermo4::ui
