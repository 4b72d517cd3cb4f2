#include "ui/Prompts.h"

#include "formats/FileFilters.h"

namespace thermo4::ui {

QList<FileFilter> FileFilter::parse(const QString& pairs) {
    QList<FileFilter> filters;
    const QStringList parts = pairs.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters.append({parts[i], parts[i + 1]});
    return filters;
}

FileDialogRequest FileDialogRequest::saveAs(const QString& directory, const QString& filter,
                                            const QString& defaultSuffix) {
    FileDialogRequest request;
    request.caption = QStringLiteral("Save As");
    request.directory = directory;
    request.filters = FileFilter::parse(filter);
    request.defaultSuffix = defaultSuffix;
    request.typeChange = [filter](int index, const QString& name) {
        return formats::FileNameForFilterType(name, filter, index + 1).value_or(QString());
    };
    return request;
}

} // namespace thermo4::ui
