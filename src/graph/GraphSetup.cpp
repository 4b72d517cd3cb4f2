#include "graph/GraphSetup.h"

#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "chart/PrepareGraph.h"
#include "formats/FileSystem.h"
#include "ui/Prompts.h"

#include <QDir>

namespace thermo4::ui {

QString MissingTemplateMessage(const QString& templatePath, const QString& dataDirProblem) {
    if (!dataDirProblem.isEmpty())
        return dataDirProblem + QStringLiteral(", so it holds no graph template. The graph uses its default "
                                               "settings.");
    return QStringLiteral("Can not fine the file ") + QDir::toNativeSeparators(templatePath) +
           QStringLiteral(" to initialize the graph ,it will use default setting. You can click Graph Option "
                          "button , then make some change and save.");
}

bool LoadGraphTemplate(chart::Graph1& g, const QString& templatePath, Prompts& prompts,
                       const QString& dataDirProblem) {
    if (formats::KindOf(templatePath) != formats::PathKind::File) {
        prompts.information(MissingTemplateMessage(templatePath, dataDirProblem));
        return false;
    }
    QString error;
    if (chart::LoadGraphState(g, templatePath, &error))
        return true;
    prompts.error(error);
    return false;
}

void SetupGraph(chart::Graph1& g, int subsets, float yMax, float yMin, double xMax, double xMin, int points,
                const QString& templatePath, Prompts& prompts, const QString& dataDirProblem) {
    const bool fromTemplate = LoadGraphTemplate(g, templatePath, prompts, dataDirProblem);
    chart::PrepareGraph(g, subsets, yMax, yMin, xMax, xMin, points, !fromTemplate);
}

bool AnnotationToolsAllowed(const chart::Graph1& control) {
    return control.multiAxesProportions(0) == 1.0;
}

} // namespace thermo4::ui
