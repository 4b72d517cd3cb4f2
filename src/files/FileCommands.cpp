#include "files/FileCommands.h"

#include "files/CollectionCommands.h"
#include "files/SingleFileCommands.h"
#include "files/TfrmOpenSave.h"
#include "formats/FileFilters.h"
#include "graph/TfrmGraph.h"
#include "logger/TfrmList.h"
#include "ui/MainFrame.h"

#include <QLocale>

namespace thermo4::ui {

namespace {

TfrmOpenSave::Choice choose(MainFrame& frame, TfrmOpenSave::Mode mode) {
    TfrmOpenSave dialog(mode, formats::DecimalSeparatorIsComma(QLocale()), frame.frameWidget());
    return dialog.choose();
}

} // namespace

void OpenFileCommand(MainFrame& frame) {
    switch (choose(frame, TfrmOpenSave::Mode::Open)) {
    case TfrmOpenSave::Choice::Collection:
        OpenCollection(frame);
        break;
    case TfrmOpenSave::Choice::SingleFile:
        OpenSingleFile(frame);
        break;
    case TfrmOpenSave::Choice::Cancel:
        break;
    }
}

bool SaveFileCommand(MainFrame& frame) {
    MdiChild* child = frame.activeChild();
    if (auto* table = qobject_cast<TfrmList*>(child))
        return SaveTable(frame, *table);
    auto* graph = qobject_cast<TfrmGraph*>(child);
    if (!graph)
        return false;
    if (!graph->isDataLogger())
        return graph->SaveGraph();
    switch (choose(frame, TfrmOpenSave::Mode::Save)) {
    case TfrmOpenSave::Choice::Collection:
        return SaveCollection(frame);
    case TfrmOpenSave::Choice::SingleFile:
        return graph->SaveGraph();
    case TfrmOpenSave::Choice::Cancel:
        break;
    }
    return false;
}

} // namespace thermo4::ui
