#pragma once

#include <qcustomplot.h>

#include <QRectF>

#include <functional>
#include <vector>

namespace thermo4::chart {

class Graph1;

/// Draws the graph annotations, the vertical line annotations and the table annotation of a
/// Graph1 over its curves, and gives their pixel geometry for hit tests.
class AnnotationOverlay : public QCPLayerable {
public:
    AnnotationOverlay(QCustomPlot* plot, const Graph1& owner);

    /// Anchor of graph annotation `index` in pixels (axis 0).
    QPointF annotationAnchor(int index) const;
    /// Area covered by the text of graph annotation `index`; empty when it has no text.
    QRectF annotationTextRect(int index) const;
    /// Area of the table annotation; empty when it is not shown.
    QRectF tableRect() const;
    /// Top-left corner of the table for given TAX/TAY, the inverse used when the user drags it.
    QPointF tableOrigin(int x, int y) const;
    /// TAX/TAY that put the table's top-left corner at a pixel position.
    QPoint tablePositionFor(const QPointF& topLeft) const;

protected:
    void applyDefaultAntialiasingHint(QCPPainter* painter) const override;
    void draw(QCPPainter* painter) override;

private:
    QFont annotationFont() const;
    QFont lineFont() const;
    QFont tableFont(bool bold) const;
    QRectF area() const;
    void drawLines(QCPPainter* painter) const;
    void drawLimitLines(QCPPainter* painter) const;
    void drawAnnotations(QCPPainter* painter) const;
    void drawTable(QCPPainter* painter) const;
    /// Column widths of the table for texts as wide as `advance` says (text, header cell).
    std::vector<double> tableColumns(const std::function<double(const QString&, bool)>& advance) const;
    double tableRowHeight() const;
    /// Area of the table with these column widths.
    QRectF tableBox(const std::vector<double>& widths) const;

    const Graph1& m_owner;
};

} // namespace thermo4::chart
