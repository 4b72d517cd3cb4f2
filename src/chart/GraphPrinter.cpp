#include "chart/GraphPrinter.h"

#include "chart/Graph1.h"
#include "chart/PdfPrintout.h"
#include "core/DataSetTable.h"
#include "core/GraphStatistics.h"

#include <QFontMetricsF>
#include <QPrinter>

#include <cmath>
#include <vector>

namespace thermo4::chart {

namespace {

// Texts around the graph (points).
constexpr double kCaptionPoints = 12.0;
constexpr double kFieldPoints = 9.0;
/// Space between the blocks of the page, in heights of a field line.
constexpr double kBlockGap = 0.6;
/// Space between a label and its value and between columns of the statistics, in widths of "0".
constexpr double kColumnGap = 2.0;

/// The layout resolution of the graph: the one its fonts are measured at on the screen.
int layoutDpi(const Graph1& control) {
    return std::max(1, control.plot()->logicalDpiY());
}

QFont textFont(const Graph1& control, double points, bool bold) {
    QFont font = control.graphFont();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

/// The texts around the graph: caption and header fields above it, statistics below, drawn in the
/// graph's font family as labels (bold) and values.
class PageTexts {
public:
    PageTexts(QPainter& painter, const Graph1& control)
        : m_painter(painter), m_caption(textFont(control, kCaptionPoints, true)),
          m_label(textFont(control, kFieldPoints, true)), m_value(textFont(control, kFieldPoints, false)) {
        const QFontMetricsF value(m_value, painter.device());
        m_line = std::max(value.height(), QFontMetricsF(m_label, painter.device()).height());
        m_columnGap = kColumnGap * value.horizontalAdvance(QLatin1Char('0'));
        painter.setPen(Qt::black);
    }
    double gap() const { return kBlockGap * m_line; }

    /// The caption on one line from top (shortened in its middle when too long); returns its bottom.
    double drawCaption(const QRectF& area, double top, const QString& caption) {
        const QFontMetricsF metrics(m_caption, m_painter.device());
        m_painter.setFont(m_caption);
        m_painter.drawText(QRectF(area.left(), top, area.width(), metrics.height()),
                           Qt::AlignLeft | Qt::AlignVCenter,
                           metrics.elidedText(caption, Qt::ElideMiddle, area.width()));
        return top + metrics.height();
    }

    /// Label, value, label, value ... on one line from top; returns its bottom.
    double drawFields(const QRectF& area, double top, const QStringList& labelsAndValues) {
        double x = area.left();
        for (qsizetype i = 0; i < labelsAndValues.size(); ++i) {
            const bool isLabel = i % 2 == 0;
            x += drawCell(QPointF(x, top), labelsAndValues[i], isLabel) +
                 (isLabel ? m_columnGap / 2 : m_columnGap * 2);
        }
        return top + m_line;
    }

    /// Rows of label, value, label, value ... in aligned columns, ending at area's bottom;
    /// returns their top.
    double drawTable(const QRectF& area, const std::vector<QStringList>& rows) {
        const double rowHeight = m_line * 1.15;
        const double top = area.bottom() - double(rows.size()) * rowHeight;
        std::vector<double> widths;
        for (const QStringList& row : rows) {
            widths.resize(std::max(widths.size(), std::size_t(row.size())), 0.0);
            for (qsizetype c = 0; c < row.size(); ++c)
                widths[std::size_t(c)] = std::max(widths[std::size_t(c)], width(row[c], c % 2 == 0));
        }
        for (std::size_t r = 0; r < rows.size(); ++r) {
            double x = area.left();
            for (qsizetype c = 0; c < rows[r].size(); ++c) {
                const bool isLabel = c % 2 == 0;
                drawCell(QPointF(x, top + double(r) * rowHeight), rows[r][c], isLabel);
                x += widths[std::size_t(c)] + (isLabel ? m_columnGap / 2 : m_columnGap * 2);
            }
        }
        return top;
    }

private:
    /// Width as this painter lays the text out, which on a printer can differ from the metrics.
    double width(const QString& text, bool isLabel) {
        m_painter.setFont(isLabel ? m_label : m_value);
        return m_painter.boundingRect(QRectF(), Qt::AlignLeft, text).width();
    }
    double drawCell(const QPointF& topLeft, const QString& text, bool isLabel) {
        m_painter.setFont(isLabel ? m_label : m_value);
        const QRectF cell(topLeft, QSizeF(width(text, isLabel), m_line));
        m_painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, text);
        return cell.width();
    }

    QPainter& m_painter;
    QFont m_caption, m_label, m_value;
    double m_line = 0;
    double m_columnGap = 0;
};

/// Draws the printout into area (device units of a device at layoutDpi): caption and header
/// fields at the top, the statistics at the bottom, the graph laid out anew in between.
void drawPrintout(QCPPainter& painter, const QRectF& area, Graph1& control, const GraphPrintTexts& t) {
    PageTexts texts(painter, control);
    double y = texts.drawCaption(area, area.top(), t.caption) + texts.gap();
    y = texts.drawFields(area, y,
                         {QStringLiteral("Start Time"), t.startTime, QStringLiteral("Sampling Rate"),
                          t.samplingRate + QStringLiteral(" mm:ss"), QStringLiteral("Data No."),
                          t.dataCount}) +
        texts.gap();
    std::vector<QStringList> statistics;
    for (std::size_t k = 0; k < t.max.size(); ++k)
        statistics.push_back({QStringLiteral("T%1 MAX").arg(k + 1), t.max[k], QStringLiteral("MIN"), t.min[k],
                              QStringLiteral("AVG"), t.avg[k]});
    const double bottom = texts.drawTable(area, statistics) - texts.gap();

    const QRectF graph(area.left(), y, area.width(), std::max(1.0, bottom - y));
    painter.save();
    painter.translate(graph.topLeft());
    control.plot()->toPainter(&painter, int(std::floor(graph.width())), int(std::floor(graph.height())));
    painter.restore();
}

/// Draws the printout on the first page of device, whose resolution is the graph's layout
/// resolution. The window's own drawing is laid out again afterwards.
bool drawOnPage(QPagedPaintDevice& device, Graph1& control, const GraphPrintTexts& texts) {
    control.resetImage();
    QCPPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    drawPrintout(painter, QRectF(0, 0, device.width(), device.height()), control, texts);
    const bool finished = painter.end();
    control.plot()->replot();
    return finished;
}

} // namespace

GraphPrintTexts GraphPrintTextsOf(const Graph1& control, const QString& caption, const QLocale& locale) {
    const core::GraphStatistics stats =
        core::ComputeGraphStatistics(control.state().x, control.state().y, control.points());
    GraphPrintTexts t;
    t.caption = caption;
    t.startTime = core::DateTimeText(stats.startTime, locale);
    t.samplingRate = core::IntervalText(stats.rateSeconds);
    t.dataCount = QString::number(stats.points);
    for (std::size_t k = 0; k < stats.channels.size(); ++k) {
        const core::ChannelStatistics& c = stats.channels[k];
        t.max[k] = core::ExtremeText(c.max, c.maxTime, locale);
        t.min[k] = core::ExtremeText(c.min, c.minTime, locale);
        t.avg[k] = core::AverageText(c.sum, c.count, 1, locale);
    }
    return t;
}

void OrientPageForGraph(QPageLayout& page, QSize graphSize) {
    if (page.orientation() == QPageLayout::Portrait && graphSize.width() > graphSize.height())
        page.setOrientation(QPageLayout::Landscape);
}

bool PrintGraph(QPrinter& printer, Graph1& control, const GraphPrintTexts& texts) {
    const int resolution = printer.resolution();
    printer.setResolution(layoutDpi(control));
    if (printer.docName().isEmpty())
        printer.setDocName(texts.caption);
    const bool printed = drawOnPage(printer, control, texts);
    printer.setResolution(resolution);
    return printed;
}

QByteArray GraphPrintoutPdf(Graph1& control, const GraphPrintTexts& texts, const QPageLayout& page) {
    return PdfPrintout(page, layoutDpi(control), texts.caption,
                       [&](QPagedPaintDevice& device) { return drawOnPage(device, control, texts); });
}

} // namespace thermo4::chart
