#pragma once

#include <QString>

namespace thermo4::chart {
class Graph1;
}

namespace thermo4::ui {

class Prompts;

/// The message shown when the graph template is missing; path as the user sees it. When the
/// data folder cannot be written (dataDirProblem, see Paths::dataDirProblem), that is why,
/// and the message says so instead.
QString MissingTemplateMessage(const QString& templatePath, const QString& dataDirProblem = {});

/// Loads the graph template at templatePath into the control when the file exists; tells
/// the user when it is missing (MissingTemplateMessage) or cannot be read (an error). True
/// when the control's look now comes from the template.
bool LoadGraphTemplate(chart::Graph1& control, const QString& templatePath, Prompts& prompts,
                       const QString& dataDirProblem = {});

/// Prepares a graph control for `subsets` curves of `points` points: the template at
/// templatePath when it exists (its look, scales and marks), otherwise the built-in look
/// with Y from yMin to yMax after telling the user the template is missing. The data are
/// blanked; X is manual from xMin to xMax (days) unless xMin is 0. A template that cannot be
/// read is reported as an error and the built-in look is used instead.
void SetupGraph(chart::Graph1& control, int subsets, float yMax, float yMin, double xMax, double xMin,
                int points, const QString& templatePath, Prompts& prompts,
                const QString& dataDirProblem = {});

/// Whether the cross and text tools may be used: only in the single view, where axis 0
/// takes the whole height.
bool AnnotationToolsAllowed(const chart::Graph1& control);

} // namespace thermo4::ui
