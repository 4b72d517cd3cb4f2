#include "graph/SaveGraph.h"

#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "formats/FileFilters.h"
#include "formats/TextExport.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/TfrmScope.h"

#include <QPointer>

namespace thermo4::ui {

using namespace formats;

bool SaveGraph(MainFrame& frame, const chart::Graph1& control) {
    const QString filter = GraphFileFilter(DecimalSeparatorIsComma(QLocale()));
    const FileDialogRequest request = FileDialogRequest::saveAs(frame.services().paths.dataDir(), filter,
                                                                QLatin1String(kGraphDefaultSuffix));
    Prompts& prompts = *frame.services().prompts;
    const FileDialogResult chosen = prompts.saveFile(request);
    if (!chosen.accepted())
        return false;
    switch (GraphSaveKindFor(chosen.path)) {
    case GraphSaveKind::GraphFile: {
        QString error;
        if (!chart::StoreGraphState(control, chosen.path, &error)) {
            prompts.error(error);
            return false;
        }
        return true;
    }
    case GraphSaveKind::TabText:
        return WriteGraphText(frame, control, chosen.path, QLatin1Char('\t'));
    case GraphSaveKind::CommaText:
        return WriteGraphText(frame, control, chosen.path, QLatin1Char(','));
    case GraphSaveKind::Nothing:
        break;
    }
    return false;
}

bool WriteGraphText(MainFrame& frame, const chart::Graph1& control, const QString& path, QChar separator) {
    Prompts& prompts = *frame.services().prompts;
    const std::optional<ExportRange> range =
        TfrmScope::AskExportRange(frame.frameWidget(), control.points(), prompts);
    if (!range)
        return false;
    TfrmScope progress(frame.frameWidget());
    progress.showFileProgress(QStringLiteral("Saving Progress"), QStringLiteral("saving....."),
                              range->count());
    // The window's events run during the export: stop if the graph went meanwhile.
    const QPointer<const chart::Graph1> alive(&control);
    const chart::GraphState& state = control.state();
    const TextExportResult result =
        formats::WriteGraphText(path, state.x, state.y, *range, separator, QLocale(),
                                [&](int lines) { return progress.lineDone(lines, false) && alive; });
    progress.close();
    if (!result.error.isEmpty())
        prompts.error(result.error);
    return result.written();
}

} // namespace thermo4::ui
