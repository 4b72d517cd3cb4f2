#include "graph/GraphTools.h"

#include "chart/Graph1.h"
#include "chart/StatisticsTable.h"
#include "graph/GraphMarks.h"
#include "graph/TfrmAnnoEdit.h"
#include "graph/TfrmGraph.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/SharedData.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace thermo4::ui {

namespace {
constexpr int kArrowCursor = 1;
constexpr int kTextCursor = 2;
} // namespace

GraphTools::GraphTools(TfrmGraph& window) : QObject(&window), m_window(window) {
    TfrmGraph& w = m_window;
    connect(w.ToolButton1, &QToolButton::clicked, this, &GraphTools::ToolButton1Click);
    connect(w.ToolButton2, &QToolButton::clicked, this, &GraphTools::ToolButton2Click);
    connect(w.ToolButton4, &QToolButton::clicked, this, &GraphTools::ToolButton4Click);
    connect(w.ToolButton5, &QToolButton::clicked, this, &GraphTools::ToolButton5Click);
    connect(w.ToolButton9, &QToolButton::clicked, this, &GraphTools::ToolButton9Click);
    connect(w.ToolButton15, &QToolButton::clicked, this, &GraphTools::ToolButton15Click);
    connect(w.Button2, &QPushButton::clicked, this, &GraphTools::Button2Click);
    connect(w.Graph1, &chart::Graph1::onMouseMove, this, &GraphTools::Graph1MouseMove);
    connect(w.Graph1, &chart::Graph1::onClick, this, &GraphTools::Graph1Click);
    connect(w.Graph1, &chart::Graph1::onDataHotSpot, this, &GraphTools::Graph1DataHotSpot);
    connect(w.Graph1, &chart::Graph1::onGraphHotSpot, this, &GraphTools::Graph1GraphHotSpot);
    connect(w.Graph1, &chart::Graph1::onGraphAnnotHotSpot, this, &GraphTools::Graph1GraphAnnotHotSpot);
    w.installEventFilter(this);
    w.Graph1->plot()->installEventFilter(this);
}

bool GraphTools::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == &m_window && !event->spontaneous())
        FormShow();
    else if (event->type() == QEvent::Leave && watched == m_window.Graph1->plot())
        m_window.clearReadOut();
    return QObject::eventFilter(watched, event);
}

void GraphTools::ToolButton1Click() {
    m_window.pnlGraphStatistic->setVisible(m_window.ToolButton1->isChecked());
}

void GraphTools::ToolButton2Click() {
    const bool down = m_window.ToolButton2->isChecked();
    m_window.pnlStatistic->setVisible(down);
    m_window.Graph1->setShowVertLineAnnotations(down);
    m_window.Graph1->invalidateImage();
}

void GraphTools::chooseTool(int tool) {
    chart::Graph1& g = *m_window.Graph1;
    switch (tool) {
    case kCrossTool:
        g.setArrowCursor(CrossCursor());
        break;
    case kTextTool:
        g.setArrowCursor(kTextCursor);
        break;
    default:
        g.setArrowCursor(kArrowCursor);
        break;
    }
    m_window.frame().graphShared().clickTool = tool;
}

void GraphTools::ToolButton4Click() {
    chooseTool(kNormalTool);
}

void GraphTools::ToolButton5Click() {
    chooseTool(kCrossTool);
}

void GraphTools::ToolButton9Click() {
    chooseTool(kTextTool);
}

void GraphTools::FormShow() {
    chooseTool(kNormalTool);
    m_window.ToolButton4->setChecked(true);
}

void GraphTools::ToolButton15Click() {
    const std::optional<QColor> chosen = m_window.prompts().color(m_window.annoDialogColor);
    if (!chosen || !chosen->isValid())
        return;
    GraphShared& app = m_window.frame().graphShared();
    m_window.annoDialogColor = *chosen; // the dialog opens on the last choice next time
    RecolorMarks(*m_window.Graph1, app.annotationCount, *chosen);
    app.annoColor = BgrFromColor(*chosen);
    m_window.Graph1->redraw();
}

void GraphTools::Graph1MouseMove() {
    const chart::Graph1& g = *m_window.Graph1;
    if (const auto text = MouseReadOut(g, g.lastMousePosition(), QLocale()))
        m_window.Panel12->setText(*text);
    else
        m_window.clearReadOut(); // outside every axis: a value there would be made up
}

void GraphTools::Graph1Click() {
    GraphShared& app = m_window.frame().graphShared();
    const int tool = app.clickTool;
    if (tool != kTextTool && tool != kCrossTool)
        return;
    chart::Graph1& g = *m_window.Graph1;
    const std::optional<QPointF> at = MarkPosition(g, tool, g.lastMousePosition());
    if (!at)
        return;
    QString text;
    if (tool == kTextTool) {
        TfrmAnnoEdit dialog(&m_window);
        if (dialog.exec() != QDialog::Accepted)
            return;
        text = dialog.text();
    }
    app.annotationCount = NextMarkIndex(g, app.annotationCount);
    SetMark(g, app.annotationCount, tool == kCrossTool ? chart::AnnotationCross : chart::AnnotationText, *at,
            text, ColorFromBgr(app.annoColor));
    g.redraw();
}

void GraphTools::Graph1DataHotSpot(int subset, int point) {
    LabelDataPoint(*m_window.Graph1, subset, point, QLocale());
    m_window.Graph1->redraw();
}

void GraphTools::Graph1GraphHotSpot() {
    m_window.Graph1->setToolTip(QLatin1String(kDeleteHint));
}

void GraphTools::Graph1GraphAnnotHotSpot(bool doubleClick, int index) {
    if (!doubleClick)
        return;
    HideMark(*m_window.Graph1, index);
    m_window.Graph1->redraw();
}

void GraphTools::Button2Click() {
    const TfrmGraph& w = m_window;
    chart::StatisticsTableValues values;
    values[0] = w.txtStartTime->text();
    values[1] = w.ComboBox1->currentText() + QLatin1Char(':') + w.ComboBox2->currentText();
    values[2] = w.txtDataNo->text();
    for (std::size_t k = 0; k < 4; ++k) {
        values[3 + k * 3] = w.txtMax[k]->text();
        values[4 + k * 3] = w.txtMin[k]->text();
        values[5 + k * 3] = w.txtAvg[k]->text();
    }
    ShowStatisticsTable(*w.Graph1, values);
}

} // namespace thermo4::ui
