#include "graph/GraphSetup.h"

#include "ui/Prompts.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "graph/DefaultLook.h"

#include <QDir>
#include <QFileInfo>

namespace thermo4::ui {

QString MissingTemplateMessage(const QString& templatePath) {
    return QStringLiteral("Can not fine the file ") + QDir::toNativeSeparators(templatePath) +
           QStringLiteral(" to initialize the graph ,it will use default setting. You can click Graph Option "
                          "button , then make some change and save.");
}

void SetupGraph(chart::Graph1& g, int subsets, float yMax, float yMin, double xMax, double xMin, int points,
                const QString& templatePath, Prompts& prompts) {
    bool fromTemplate = false;
    if (QFileInfo(templatePath).isFile()) {
        QString error;
        fromTemplate = chart::LoadGraphState(g, templatePath, &error);
        if (!fromTemplate)
            prompts.error(error);
    }
    g.setPrepareImages(true);
    g.setNullDataValueY(chart::kDefaultNullValue);
    g.setSubsetByPoint(false);
    g.setSubsets(subsets);
    g.setPoints(points);
    g.setNoHelp(true);
    g.setAllowPopup(false);
    for (int k = 0; k < g.subsets(); ++k) { // a whole-array write blanks every subset
        g.setXDataII(-1, k, 0.0);
        g.setYDataII(-1, k, chart::kDefaultNullValue);
    }
    if (xMin != 0.0) {
        g.setManualScaleControlX(chart::ScaleManual);
        g.setManualMinX(xMin);
        g.setManualMaxX(xMax);
    }
    g.setAllowDataLabels(0);
    if (!fromTemplate) {
        if (!QFileInfo(templatePath).isFile())
            prompts.information(MissingTemplateMessage(templatePath));
        ApplyDefaultLook(g, subsets, yMax, yMin);
    }
    g.setWorkingAxis(0);
    g.setAllowGraphAnnotHotSpots(true);
    g.redraw();
}

bool AnnotationToolsAllowed(const chart::Graph1& control) {
    return control.multiAxesProportions(0) == 1.0;
}

} // namespace thermo4::ui
