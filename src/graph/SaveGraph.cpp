#include "graph/SaveGraph.h"

#include "ui/Prompts.h"
#include "app/TfrmMain.h"
#include "chart/GraphStateFile.h"

#include <QFileInfo>

namespace thermo4::ui {

bool SaveGraph(TfrmMain& main, const chart::Graph1& control) {
    FileDialogRequest request;
    request.caption = QStringLiteral("Save As");
    request.directory = main.state().services.paths.dataDir();
    request.filters = {{QStringLiteral("Graph file(*.ghf)"), QStringLiteral("*.GHF")}};
    request.defaultSuffix = QStringLiteral("GHF");
    const FileDialogResult chosen = main.prompts().saveFile(request);
    if (!chosen.accepted())
        return false;
    if (QFileInfo(chosen.path).suffix().toLower() != QLatin1String("ghf"))
        return false;
    QString error;
    if (!chart::StoreGraphState(control, chosen.path, &error)) {
        main.prompts().error(error);
        return false;
    }
    return true;
}

} // namespace thermo4::ui
