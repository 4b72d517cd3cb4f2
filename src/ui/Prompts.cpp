#include "ui/Prompts.h"

namespace thermo4::ui {

QList<FileFilter> FileFilter::parse(const QString& pairs) {
    QList<FileFilter> filters;
    const QStringList parts = pairs.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append({parts[i], parts[i + 1]});
    return filters;
}

} // namespace thermo4::ui
