#include "graph/SaveGraph.h"

#include "chart/GraphStateFile.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QFileInfo>

namespace thermo4::ui {

bool SaveGraph(MainFrame& frame, const chart::Graph1& control) {
    FileDialogRequest request;
    request.caption = QStringLiteral("Save As");
    request.directory = frame.services().paths.dataDir();
    request.filters = {{QStringLiteral("Graph file(*.ghf)"), QStringLiteral("*.GHF")}};
    request.defaultSuffix = QStringLiteral("GHF");
    const FileDialogResult chosen = frame.services().prompts->saveFile(request);
    if (!chosen.accepted())
        return false;
    if (QFileInfo(chosen.path).suffix().toLower() != QLatin1String("ghf"))
        return false;
    QString error;
    if (!chart::StoreGraphState(control, chosen.path, &error)) {
        frame.services().prompts->error(error);
        return false;
    }
    return true;
}

} // namespace thermo4::ui
