#pragma once

#include <QObject>

namespace thermo4::ui {

class TfrmGraph;

/// The reading and marking tools of a graph window: the two statistics switches, the mouse
/// read-out in Panel12 (empty while the mouse is off the plotting area), the normal, cross and text click
/// tools, marks and their deletion, the data-point label, the mark colour and the statistics table. It wires
/// itself to the window's controls; the click tool and mark numbering are shared by all windows through
/// GraphShared.
class GraphTools : public QObject {
    Q_OBJECT
public:
    explicit GraphTools(TfrmGraph& window);

    /// "Toggle Graph Statistic": the statistics header shows while the button is down.
    void ToolButton1Click();
    /// "Toggle Line Cursor Statistic": the statistics panel and the line cursors show while down.
    void ToolButton2Click();
    /// "Normal Cursor": clicks on the graph do nothing.
    void ToolButton4Click();
    /// "Draw A Cross On Graph": clicks place crosses.
    void ToolButton5Click();
    /// "Text": clicks ask for a text and place it.
    void ToolButton9Click();
    /// "Set Annotation Color": every mark up to the last one takes the chosen colour, which
    /// also becomes the colour of new marks.
    void ToolButton15Click();
    /// "Show MAX/MIN on Graph": the statistics fields as a table in the graph.
    void Button2Click();

    /// The window is shown: the normal tool.
    void FormShow();
    void Graph1MouseMove();
    void Graph1Click();
    void Graph1DataHotSpot(int subset, int point);
    void Graph1GraphHotSpot();
    void Graph1GraphAnnotHotSpot(bool doubleClick, int index);

    /// Hint of the graph while graph hot spots are on.
    static constexpr const char* kDeleteHint = "Double click to delete.";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseTool(int tool);

    TfrmGraph& m_window;
};

} // namespace thermo4::ui
