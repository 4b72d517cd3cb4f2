#include "files/SingleFileCommands.h"

#include "formats/FileFilters.h"
#include "formats/FileSystem.h"
#include "formats/TextExport.h"
#include "formats/TextImport.h"
#include "graph/TfrmGraph.h"
#include "logger/TfrmList.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/TfrmScope.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <memory>

namespace thermo4::ui {

using namespace formats;

namespace {

QString fullName(const QString& path) {
    return QDir::toNativeSeparators(AbsolutePath(path));
}

} // namespace

bool SaveTable(MainFrame& frame, const TfrmList& table) {
    Prompts& prompts = *frame.services().prompts;
    const QString filter = TableFileFilter(DecimalSeparatorIsComma(QLocale()));
    const FileDialogRequest request = FileDialogRequest::saveAs(frame.services().paths.dataDir(), filter,
                                                                QLatin1String(kTableDefaultSuffix));
    const FileDialogResult chosen = prompts.saveFile(request);
    if (!chosen.accepted())
        return false;
    const QString file = ConfirmedSavePath(prompts, chosen, filter);
    if (file.isEmpty())
        return false;
    const std::optional<ExportRange> range =
        TfrmScope::AskExportRange(frame.frameWidget(), table.rowCount(), prompts);
    if (!range)
        return false;
    TfrmScope progress(frame.frameWidget());
    progress.showFileProgress(QStringLiteral("Saving Progress"), QStringLiteral("saving....."),
                              range->count());
    const QPointer<const TfrmList> alive(&table);
    // Rows are counted from 1 in the range; column 0 (the row number) is not written.
    const TextExportResult result = WriteTableText(
        file, [&table](int row) { return table.rowCells(row - 1).mid(1); }, *range, TextSeparatorFor(file),
        [&](int lines) { return progress.lineDone(lines, false) && alive; });
    progress.close();
    if (!result.error.isEmpty())
        prompts.error(result.error);
    return result.written();
}

TfrmGraph* OpenGraphFile(MainFrame& frame, const QString& path) {
    auto graph = std::make_unique<TfrmGraph>(frame, fullName(path));
    QString error;
    if (!graph->openGraphFile(path, &error)) {
        frame.services().prompts->error(error);
        return nullptr;
    }
    return graph.release(); // the frame holds it now
}

TfrmList* OpenTextTable(MainFrame& frame, const QString& path, QChar separator) {
    QString text;
    QString error;
    if (!ReadTextFile(path, text, &error)) {
        frame.services().prompts->error(error);
        return nullptr;
    }
    QPointer<TfrmList> list = new TfrmList(frame);
    list->setWindowTitle(fullName(path));
    frame.addChild(list);
    const QSize client = frame.clientSize();
    list->place(0, 0, std::min(TfrmList::kDesignWidth, client.width()),
                std::min(TfrmList::kDesignHeight, client.height()));
    list->awaitTable();

    TfrmScope progress(frame.frameWidget());
    progress.showFileProgress(QStringLiteral("Open Progress"), QStringLiteral("0"), 0);
    ImportedTable table = ParseTextTable(std::move(text), separator,
                                         [&](int rows) { return progress.lineDone(rows, true) && list; });
    progress.close();
    if (!list)
        return nullptr;
    list->setTable(std::move(table));
    return list;
}

void OpenSingleFile(MainFrame& frame) {
    const AppServices& services = frame.services();
    FileDialogRequest request;
    request.caption = QStringLiteral("Open");
    request.directory = services.paths.dataDir();
    request.filters = FileFilter::parse(GraphFileFilter(DecimalSeparatorIsComma(QLocale())));
    const FileDialogResult chosen = services.prompts->openFile(request);
    if (!chosen.accepted())
        return;
    const QString ext = QFileInfo(chosen.path).suffix().toLower();
    if (ext == QLatin1String("ghf"))
        OpenGraphFile(frame, chosen.path);
    else if (ext == QLatin1String("txt") || ext == QLatin1String("csv"))
        OpenTextTable(frame, chosen.path, ext == QLatin1String("csv") ? QLatin1Char(',') : QLatin1Char('\t'));
}

} // namespace thermo4::ui
