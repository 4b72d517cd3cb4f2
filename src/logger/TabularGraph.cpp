#include "logger/TabularGraph.h"

#include "formats/RegionalText.h"
#include "formats/TextImport.h"
#include "graph/TfrmGraph.h"
#include "logger/TfrmList.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/TfrmScope.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

namespace thermo4::ui {

namespace {

constexpr int kCurves = 4;
constexpr float kYMax = 100.0f;
constexpr float kYMin = -20.0f;
QString dateTimeText(const TfrmList& list, int row) {
    return list.cellText(row, 1) + QLatin1Char(' ') + list.cellText(row, 2);
}

std::optional<double> rowTime(const TfrmList& list, int row, const QLocale& locale) {
    return formats::ParseDateAndTime(list.cellText(row, 1), list.cellText(row, 2), locale);
}

} // namespace

void OutputTabularToGraph(MainFrame& frame) {
    QPointer<TfrmList> list = qobject_cast<TfrmList*>(frame.activeChild());
    if (!list)
        return;
    Prompts& prompts = *frame.services().prompts;
    if (list->cellText(0, 1).isEmpty()) {
        prompts.information(QStringLiteral("No data to graph !"));
        return;
    }
    const int n = list->rowCount();
    QPointer<TfrmGraph> graph = new TfrmGraph(frame, list->windowTitle());
    frame.addChild(graph);
    graph->fillClientArea(); // over the client area, as a graph opened from a file

    const QLocale locale;
    const auto start = rowTime(*list, 0, locale);
    const auto end = rowTime(*list, n - 1, locale);
    if (!start || !end) {
        // The new window stays open, empty.
        prompts.error(
            QStringLiteral("'%1' is not a valid date and time").arg(dateTimeText(*list, start ? n - 1 : 0)));
        return;
    }
    graph->SetupGraph(kCurves, kYMax, kYMin, *end, *start, n);

    // No parent: the window goes with this command whatever happens to the others.
    const auto progress = std::make_unique<TfrmScope>();
    progress->showProgress(QStringLiteral("Graphing Progress"), QStringLiteral("graphing....."), n);

    for (int t = 0; t < n; ++t) {
        progress->setProgress(t + 1);
        QCoreApplication::processEvents();
        // Either window may have been closed meanwhile.
        if (!list || !graph)
            return;
        // The row's cells without the row number; a row without a date-time is not drawn.
        if (const auto row = formats::ReadTableRow(list->rowCells(t).mid(1), locale))
            graph->drawTableRow(t, *row);
    }
    progress->close();

    graph->restoreNormal();
    graph->finishDrawing();
}

} // namespace thermo4::ui
