#include "graph/GraphAppearance.h"

#include "chart/CustomizeDialog.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "graph/TfrmGraph.h"
#include "ui/AppServices.h"
#include "ui/Prompts.h"

#include <QPushButton>

#include <climits>
#include <cmath>

namespace thermo4::ui {

namespace {
// Whole degrees of a scale limit, toward zero; a limit no int can hold is clamped.
int wholeDegrees(double value) {
    if (!std::isfinite(value))
        return 0;
    return int(std::clamp(std::trunc(value), double(INT_MIN), double(INT_MAX)));
}

void setManualY(chart::Graph1& g, int axis, double min, double max) {
    g.setWorkingAxis(axis);
    g.setManualScaleControlY(chart::ScaleManual);
    g.setManualMinY(min);
    g.setManualMaxY(max);
}
} // namespace

ScaleRanges ReadScaleRanges(const chart::Graph1& g) {
    ScaleRanges ranges;
    for (int axis = 0; axis < int(ranges.size()); ++axis) {
        const auto [min, max] = g.shownRangeY(axis);
        ranges[std::size_t(axis)] = {wholeDegrees(min), wholeDegrees(max)};
    }
    return ranges;
}

void ApplyScaleRanges(chart::Graph1& g, const ScaleRanges& ranges) {
    for (int axis = 0; axis < int(ranges.size()); ++axis) {
        setManualY(g, axis, ranges[std::size_t(axis)].min, ranges[std::size_t(axis)].max);
        g.setHoldRangeY(true); // the user's range holds, whatever the data
    }
    g.setWorkingAxis(0);
}

void UnifyScales(chart::Graph1& g, double xMin, double xMax) {
    g.setManualScaleControlX(chart::ScaleManual);
    g.setManualMinX(xMin);
    g.setManualMaxX(xMax);
    // The dialog works in single precision.
    const float yMin = float(g.manualMinY());
    const float yMax = float(g.manualMaxY());
    for (int axis = 0; axis < g.subsets(); ++axis)
        setManualY(g, axis, double(yMin), double(yMax));
    g.setWorkingAxis(0);
}

GraphAppearance::GraphAppearance(TfrmGraph& window)
    : QObject(&window), m_window(window), m_font(QLatin1String(kInitialFont)) {
    connect(window.Button1, &QPushButton::clicked, this, &GraphAppearance::Button1Click);
    connect(window.Graph1, &chart::Graph1::onCustomizeDlg, this, &GraphAppearance::Graph1CustomizeDlg);
    connect(window.btnChangeScale, &QPushButton::clicked, this, &GraphAppearance::btnChangeScaleClick);
    connect(window.Button3, &QPushButton::clicked, this, &GraphAppearance::Button3Click);
}

void GraphAppearance::Button1Click() {
    chart::Graph1& g = *m_window.Graph1;
    const double xMin = g.manualMinX();
    const double xMax = g.manualMaxX();
    m_offerTemplate = true;
    g.customize();
    m_offerTemplate = false;
    UnifyScales(g, xMin, xMax);
    g.undoZoom();
    m_window.UndoZoom->setEnabled(false);
    g.redraw();
}

void GraphAppearance::Graph1CustomizeDlg() {
    if (!m_offerTemplate || m_window.Graph1->dialogResult() != 1)
        return;
    if (m_window.prompts().question(QLatin1String(kSaveQuestion), false) == Answer::Yes)
        StoreTemplate();
}

void GraphAppearance::CustomizeForPrint() {
    chart::Graph1& g = *m_window.Graph1;
    struct Pages {
        bool font, general, style, subsets;
    };
    const auto setPages = [&g](const Pages& p) {
        g.setAllowFontPage(p.font);
        g.setAllowPage1(p.general);
        g.setAllowPage2(p.style);
        g.setAllowSubsetsPage(p.subsets);
    };
    const Pages before{g.allowFontPage(), g.allowPage1(), g.allowPage2(), g.allowSubsetsPage()};
    setPages({false, false, false, false});
    if (!g.createCustomizeDialog()->pageTitles().isEmpty())
        g.customize();
    setPages(before);
}

void GraphAppearance::btnChangeScaleClick() {
    chart::Graph1& g = *m_window.Graph1;
    TfrmSetupScale dialog(&m_window);
    dialog.setRanges(ReadScaleRanges(g));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const ScaleReading reading = dialog.readRanges();
    if (!reading.ranges) {
        m_window.prompts().warning(reading.invalidText + QLatin1String(kInvalidSuffix));
        return;
    }
    ApplyScaleRanges(g, *reading.ranges);
    g.redraw();
    if (dialog.keepInTemplate())
        StoreTemplate();
}

void GraphAppearance::Button3Click() {
    const std::optional<QFont> chosen = m_window.prompts().font(m_font);
    if (!chosen)
        return;
    m_font = *chosen;
    m_window.pnlStatistic->setFont(m_font);
    m_window.pnlGraphStatistic->setFont(m_font);
}

bool GraphAppearance::StoreTemplate() {
    QString error;
    if (chart::StoreGraphState(*m_window.Graph1, m_window.services().paths.templateFile(), &error))
        return true;
    m_window.prompts().error(error);
    return false;
}

} // namespace thermo4::ui
