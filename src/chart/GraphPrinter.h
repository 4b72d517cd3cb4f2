#pragma once

#include <QByteArray>
#include <QLocale>
#include <QPageLayout>
#include <QSize>
#include <QString>

#include <array>

class QPrinter;

namespace thermo4::chart {

class Graph1;

/// What a graph printout shows besides the graph, as the graph window shows it: its caption,
/// the header fields and the MAX, MIN and AVG fields of T1 to T4.
struct GraphPrintTexts {
    QString caption;
    QString startTime;
    QString samplingRate; // "MM:SS"
    QString dataCount;
    std::array<QString, 4> max, min, avg;
};

/// The texts of a graph window captioned `caption` whose fields were filled from the data in
/// `control` (start time, rate and count of its points, MAX, MIN and AVG of each channel).
GraphPrintTexts GraphPrintTextsOf(const Graph1& control, const QString& caption, const QLocale& locale);

/// A portrait page turns to landscape for a graph wider than high; any other page stays.
void OrientPageForGraph(QPageLayout& page, QSize graphSize);

/// Prints one page: the caption and header fields above the graph, the MAX/MIN/AVG fields
/// below it, and the graph (legend, axes, tick and time labels, curves, marks) laid out again
/// at the size left on the page. Everything is drawn at the resolution the screen lays the graph
/// out at, so a font of n points is n points on the paper whatever the printer's resolution.
/// False when the printer could not be started or finished.
bool PrintGraph(QPrinter& printer, Graph1& control, const GraphPrintTexts& texts);

/// The same printout as a one-page PDF with the given page; empty when it cannot be drawn.
QByteArray GraphPrintoutPdf(Graph1& control, const GraphPrintTexts& texts, const QPageLayout& page);

} // namespace thermo4::chart
