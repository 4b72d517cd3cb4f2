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

QString SaveGraph(MainFrame& frame, const chart::Graph1& control) {
    const QString filter = GraphFileFilter(DecimalSeparatorIsComma(QLocale()));
    const FileDialogRequest request = FileDialogRequest::saveAs(frame.services().paths.dataDir(), filter,
                                                                QLatin1String(kGraphDefaultSuffix));
    Prompts& prompts = *frame.services().prompts;
    const FileDialogResult chosen = prompts.saveFile(request);
    if (!chosen.accepted())
        return {};
    const QString path = ConfirmedSavePath(prompts, chosen, filter);
    bool written = false;
    switch (GraphSaveKindFor(path)) {
    case GraphSaveKind::GraphFile: {
        QString error;
        written = chart::StoreGraphState(control, path, &error);
        if (!written)
            prompts.error(error);
        break;
    }
    case GraphSaveKind::TabText:
        written = WriteGraphText(frame, control, path, QLatin1Char('\t'));
        break;
    case GraphSaveKind::CommaText:
        written = WriteGraphText(frame, control, path, QLatin1Char(','));
        break;
    case GraphSaveKind::Nothing:
        break;
    }
    return written ? path : QString();
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
