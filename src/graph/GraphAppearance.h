#pragma once

#include "graph/TfrmSetupScale.h"

#include <QFont>
#include <QObject>

namespace thermo4::chart {
class Graph1;
}

namespace thermo4::ui {

class TfrmGraph;

/// Y ranges the first four axes of a control show (widened to their data where they are),
/// truncated toward zero to whole degrees.
ScaleRanges ReadScaleRanges(const chart::Graph1& control);
/// Gives the first four axes their ranges (manual minimum and maximum), held even when data lie
/// outside them; working axis 0 after.
void ApplyScaleRanges(chart::Graph1& control, const ScaleRanges& ranges);
/// Keeps X from xMin to xMax (days) and gives every curve's axis the Y range of the working axis.
void UnifyScales(chart::Graph1& control, double xMin, double xMax);

/// The appearance commands of a graph window: the chart's customization dialog ("Graph
/// Option") with the question whether to keep it as the template, the Y-axis dialog ("Y Axis")
/// and the font of the statistics panels ("Font"). The template is the graph state file that
/// every new graph starts from.
class GraphAppearance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kSaveQuestion = "Do you want to save the changes ?";
    static constexpr const char* kInvalidSuffix = " is invalid.";
    static constexpr const char* kInitialFont = "Tahoma";

    explicit GraphAppearance(TfrmGraph& window);

    /// "Graph Option": the customization dialog; the time range survives it and every axis
    /// takes the Y range of the working axis.
    void Button1Click();
    /// The customization dialog of "Graph Option" closed: after OK, offers to keep the look as
    /// the template.
    void Graph1CustomizeDlg();
    /// The customization step before a printout: the dialog with the pages it has besides
    /// the font, general, style and subsets pages, or nothing when it has no other. What is
    /// changed there goes to the window (and so to the printout); the template is not offered.
    void CustomizeForPrint();
    /// "Y Axis": the ranges of T1 to T4 in TfrmSetupScale, applied (and kept in the template
    /// when asked) only when all eight fields are integers.
    void btnChangeScaleClick();
    /// "Font": the font of the statistics header and panel (not of the graph).
    void Button3Click();

    /// Writes the graph as the template; a failure is reported and false returned.
    bool StoreTemplate();

private:
    TfrmGraph& m_window;
    /// Set while "Graph Option" runs the dialog: only then is the template offered.
    bool m_offerTemplate = false;
    /// Start font of the font dialog: the last one chosen in this window.
    QFont m_font;
};

} // namespace thermo4::ui
