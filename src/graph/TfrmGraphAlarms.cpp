#include "graph/TfrmGraph.h"

#include "chart/Graph1.h"
#include "core/TDateTime.h"
#include "graph/GraphMarks.h"
#include "ui/MainFrame.h"
#include "ui/SharedData.h"

#include <qcustomplot.h>

#include <QFontMetricsF>

#include <algorithm>

namespace thermo4::ui {

void TfrmGraph::showAlarmLimits(const alarm::AlarmSettings& settings) {
    std::vector<chart::LimitLine> lines;
    for (int channel = 0; channel < 4; ++channel) {
        const alarm::ChannelLimits& limits = settings.channel[std::size_t(channel)];
        if (!limits.enabled) {
            continue;
        }
        const QString name = QStringLiteral("T%1").arg(channel + 1);
        if (limits.high) {
            lines.push_back({channel, *limits.high, Qt::red,
                             name + QStringLiteral(" > ") + alarm::AlarmLimitText(*limits.high)});
        }
        if (limits.low) {
            lines.push_back({channel, *limits.low, QColor(0, 120, 255),
                             name + QStringLiteral(" < ") + alarm::AlarmLimitText(*limits.low)});
        }
    }
    Graph1->setLimitLines(std::move(lines));
}

int TfrmGraph::markAlarm(const QDateTime& time, int channel, const QString& text) {
    // Near the top of the first axis, one text row lower per channel (the meter's own row last),
    // placed by pixels so that every row is inside the plotting area whatever its scale.
    const int row = channel >= 0 && channel < 4 ? channel : 4;
    double y = 0.0;
    if (const QCPAxisRect* rect = Graph1->axisRect(0)) {
        const double rowHeight = std::max(12.0, QFontMetricsF(Graph1->font()).height() + 4.0);
        const double pixel =
            std::min(rect->rect().top() + rowHeight * (row + 1.0), double(rect->rect().bottom()));
        y = Graph1->pixelToGraph(QPointF(rect->rect().left(), pixel), 0).y();
    }
    const QPointF at(core::TDateTimeFromDateTime(time), y);
    GraphShared& shared = frame().graphShared();
    shared.annotationCount = NextMarkIndex(*Graph1, shared.annotationCount);
    SetMark(*Graph1, shared.annotationCount, chart::AnnotationText, at, text, ColorFromBgr(shared.annoColor));
    Graph1->redraw();
    return shared.annotationCount;
}

} // namespace thermo4::ui
