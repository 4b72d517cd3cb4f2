#include "chart/GraphStateFile.h"

#include "chart/Graph1.h"
#include "chart/GraphState.h"
#include "formats/GraphFile.h"

#include <QDir>

namespace thermo4::chart {

bool StoreGraphState(const Graph1& control, const QString& path, QString* error) {
    const QString why = formats::WriteGraphFile(path, control.storeState());
    if (error)
        *error = why;
    return why.isEmpty();
}

bool LoadGraphState(Graph1& control, const QString& path, QString* error) {
    QByteArray block;
    if (!formats::ReadGraphFile(path, kMaxStateBytes, block, error))
        return false;
    QString why;
    if (!control.loadState(block, &why)) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a valid graph file: %2.")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    return true;
}

} // namespace thermo4::chart
