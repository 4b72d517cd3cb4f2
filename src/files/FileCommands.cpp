#include "files/FileCommands.h"

#include "app/TfrmMain.h"
#include "files/CollectionCommands.h"
#include "files/TfrmOpenSave.h"
#include "graph/TfrmGraph.h"

#include <QLocale>

namespace thermo4::ui {

namespace {

TfrmOpenSave::Choice choose(TfrmMain& main, TfrmOpenSave::Mode mode) {
    TfrmOpenSave dialog(mode, QLocale().decimalPoint() == QLatin1String(","), &main);
    return dialog.choose();
}

} // namespace

void OpenFileCommand(TfrmMain& main) {
    switch (choose(main, TfrmOpenSave::Mode::Open)) {
    case TfrmOpenSave::Choice::Collection:
        OpenCollection(main);
        break;
    case TfrmOpenSave::Choice::SingleFile:
        // Graph and text files open with the single-file commands, not built yet.
    case TfrmOpenSave::Choice::Cancel:
        break;
    }
}

void SaveFileCommand(TfrmMain& main) {
    auto* graph = qobject_cast<TfrmGraph*>(main.activeChild());
    // Tables are saved as text by the single-file commands, not built yet.
    if (!graph)
        return;
    if (!graph->isDataLogger()) {
        graph->SaveGraph();
        return;
    }
    switch (choose(main, TfrmOpenSave::Mode::Save)) {
    case TfrmOpenSave::Choice::Collection:
        SaveCollection(main);
        break;
    case TfrmOpenSave::Choice::SingleFile:
        graph->SaveGraph();
        break;
    case TfrmOpenSave::Choice::Cancel:
        break;
    }
}

} // namespace thermo4::ui
