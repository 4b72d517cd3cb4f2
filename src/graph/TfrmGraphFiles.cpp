// Graphs drawn from a graph file, a table or a recovered journal, and the window printed.
#include "graph/TfrmGraph.h"

#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphPrinter.h"
#include "chart/GraphStateFile.h"
#include "formats/JournalFormat.h"
#include "formats/TextImport.h"
#include "graph/GraphAppearance.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>

namespace thermo4::ui {

namespace {
/// A rate box's text, or the number it shows as a hint when its list does not hold it.
QString boxText(const QComboBox* box) {
    return box->currentIndex() >= 0 ? box->currentText() : box->placeholderText();
}
} // namespace

bool TfrmGraph::openGraphFile(const QString& path, QString* error) {
    chart::Graph1& g = *Graph1;
    if (!chart::LoadGraphState(g, path, error))
        return false;
    frame().addChild(this);
    fillClientArea();
    FillGraphStatistics();
    chkSplit->setChecked(g.multiAxesSubsets(1) != 0);
    g.setAllowDataLabels(0);
    g.reinitAndReset();
    ApplyToolAvailability();
    allowMarkHotSpots(true);
    return true;
}

void TfrmGraph::drawTableRow(int point, const formats::TableRow& row) {
    chart::Graph1& g = *Graph1;
    for (int c = 0; c < chart::kGraphChannels; ++c)
        g.setXDataII(c, point, row.time);
    for (int c = 0; c < chart::kGraphChannels; ++c) {
        if (const std::optional<float>& value = row.readings[std::size_t(c)])
            g.setYData(c, point, *value);
    }
}

void TfrmGraph::drawSamples(std::span<const formats::JournalSample> samples) {
    chart::Graph1& g = *Graph1;
    int point = 0;
    for (const formats::JournalSample& sample : samples) {
        for (int k = 0; k < chart::kGraphChannels; ++k) {
            const bool reading =
                core::ChannelConditionOf(sample.channelState, k) == core::ChannelCondition::Reading;
            g.setXDataII(k, point, sample.time);
            g.setYData(k, point, reading ? sample.reading[std::size_t(k)] : float(chart::kDefaultNullValue));
        }
        ++point;
    }
    g.redraw();
    FillGraphStatistics();
}

void TfrmGraph::finishDrawing() {
    FillGraphStatistics();
    Graph1->reinitAndReset();
    Graph1->redraw();
}

chart::GraphPrintTexts TfrmGraph::printTexts() const {
    chart::GraphPrintTexts t;
    t.caption = windowTitle();
    t.startTime = txtStartTime->text();
    t.samplingRate = boxText(ComboBox1) + QLatin1Char(':') + boxText(ComboBox2);
    t.dataCount = txtDataNo->text();
    for (std::size_t k = 0; k < t.max.size(); ++k) {
        t.max[k] = txtMax[k]->text();
        t.min[k] = txtMin[k]->text();
        t.avg[k] = txtAvg[k]->text();
    }
    return t;
}

bool TfrmGraph::print(QPrinter& printer) {
    appearance->CustomizeForPrint();
    // A wide graph is offered on a landscape page; the user may still choose otherwise, and
    // the printer keeps its own orientation for the next printout.
    const QPageLayout::Orientation chosen = printer.pageLayout().orientation();
    QPageLayout page = printer.pageLayout();
    chart::OrientPageForGraph(page, Graph1->size());
    printer.setPageOrientation(page.orientation());
    const bool accepted = prompts().print(printer);
    if (accepted) {
        printer.setDocName(windowTitle());
        chart::PrintGraph(printer, *Graph1, printTexts());
    }
    printer.setPageOrientation(chosen);
    return accepted;
}

} // namespace thermo4::ui
