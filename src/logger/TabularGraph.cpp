#include "logger/TabularGraph.h"

#include "chart/Graph1.h"
#include "core/DataSet.h"
#include "formats/RegionalText.h"
#include "graph/TfrmGraph.h"
#include "logger/TfrmList.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/TfrmScope.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTableWidget>

#include <memory>

namespace thermo4::ui {

namespace {

constexpr int kCurves = 4;
constexpr float kYMax = 100.0f;
constexpr float kYMin = -20.0f;
/// First reading column (T1); the date and the time are in columns 1 and 2.
constexpr int kFirstReadingColumn = 3;

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
    progress->setWindowTitle(QStringLiteral("Graphing Progress"));
    progress->SText1->setText(QStringLiteral("graphing....."));
    progress->SText1->show();
    progress->Progress1->show();
    progress->Progress1->setRange(0, n);
    progress->Progress1->setValue(0);
    progress->show();

    for (int t = 0; t < n; ++t) {
        progress->Progress1->setValue(t + 1);
        QCoreApplication::processEvents();
        // Either window may have been closed meanwhile.
        if (!list || !graph)
            return;
        const auto x = rowTime(*list, t, locale);
        if (!x)
            continue;
        chart::Graph1& g = *graph->Graph1;
        for (int c = 0; c < kCurves; ++c)
            g.setXDataII(c, t, *x);
        for (int c = 0; c < kCurves; ++c) {
            const QString cell = list->cellText(t, kFirstReadingColumn + c);
            if (cell == QLatin1String("OL")) {
                g.setYData(c, t, static_cast<float>(core::kNoDataValue));
                continue;
            }
            const auto value = formats::ParseNumber(cell, locale);
            if (!value)
                break; // the channels before keep their values
            g.setYData(c, t, static_cast<float>(*value));
        }
    }
    progress->close();

    graph->restoreNormal();
    graph->FillGraphStatistics();
    graph->Graph1->reinitAndReset();
    graph->Graph1->redraw();
}

} // namespace thermo4::ui
