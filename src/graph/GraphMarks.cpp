#include "graph/GraphMarks.h"

#include "chart/Graph1.h"
#include "core/NumberText.h"
#include "formats/RegionalText.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace thermo4::ui {

namespace {
constexpr int kCursorSize = 32; // pixels
constexpr QPoint kTextTip(1, 7);
constexpr QPoint kCrossTip(15, 15);

bool showsMark(const chart::GraphAnnotation& a) {
    const bool drawn =
        a.type == chart::AnnotationCross || a.type == chart::AnnotationDot || !a.text.isEmpty();
    return drawn && a.x != 0.0;
}
} // namespace

QColor ColorFromBgr(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int BgrFromColor(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QCursor CrossCursor() {
    QPixmap picture(kCursorSize, kCursorSize);
    picture.fill(Qt::transparent);
    QSvgRenderer renderer(QString::fromLatin1(kCrossCursorResource));
    if (!renderer.isValid()) // resources not linked in: the system's cross hair, same tip
        return QCursor(Qt::CrossCursor);
    QPainter painter(&picture);
    renderer.render(&painter);
    painter.end();
    return QCursor(picture, 0, 0);
}

QPoint ToolTipOffset(int tool) {
    switch (tool) {
    case kTextTool:
        return kTextTip;
    case kCrossTool:
        return kCrossTip;
    default:
        return {};
    }
}

std::optional<QPointF> MarkPosition(const chart::Graph1& control, int tool, const QPoint& mouse) {
    const QCPAxisRect* axis0 = control.axisRect(0);
    if (!axis0)
        return std::nullopt;
    const QRect area = axis0->rect();
    const QPoint tip = mouse + ToolTipOffset(tool);
    if (tip.x() < area.left() || tip.x() > area.right() || tip.y() < area.top() || tip.y() > area.bottom())
        return std::nullopt;
    return control.pixelToGraph(QPointF(tip), 0);
}

int NextMarkIndex(const chart::Graph1& control, int last) {
    const chart::GraphState& st = control.state();
    int index = last + 1;
    while (index < int(st.annotations.size()) && showsMark(st.annotations[std::size_t(index)]))
        ++index;
    return index;
}

void SetMark(chart::Graph1& control, int index, int type, const QPointF& at, const QString& text,
             const QColor& color) {
    control.setGraphAnnotationType(index, type);
    control.setGraphAnnotationX(index, at.x());
    control.setGraphAnnotationY(index, at.y());
    control.setGraphAnnotationText(index, text);
    control.setGraphAnnotationColor(index, color);
}

void HideMark(chart::Graph1& control, int index) {
    control.setGraphAnnotationType(index, chart::AnnotationText);
    control.setGraphAnnotationText(index, QString());
}

void LabelDataPoint(chart::Graph1& control, int subset, int point, const QLocale& locale) {
    const double x = control.xDataII(subset, point);
    const float y = control.yData(subset, point);
    SetMark(control, kDataPointLabel, chart::AnnotationCross, QPointF(x, double(y)),
            formats::TimeText(x, locale) + QLatin1Char('\r') + core::FixedText(double(y), 1, locale),
            Qt::black);
}

void RecolorMarks(chart::Graph1& control, int last, const QColor& color) {
    for (int index = 0; index <= last; ++index)
        control.setGraphAnnotationColor(index, color);
}

std::optional<QString> MouseReadOut(const chart::Graph1& control, const QPoint& mouse,
                                    const QLocale& locale) {
    // Each axis of the split view has its own Y scale: read the value on the one under the mouse.
    const int axis = control.axisAt(QPointF(mouse));
    if (axis < 0)
        return std::nullopt;
    const QPointF value = control.pixelToGraph(QPointF(mouse), axis);
    return core::FixedText(value.y(), 1, locale) + QLatin1Char('@') + formats::TimeText(value.x(), locale);
}

} // namespace thermo4::ui
