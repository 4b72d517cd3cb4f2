#include "ui/Prompts.h"

#include "formats/FileFilters.h"

#include <QDir>
#include <QFileInfo>

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

QString ReplaceQuestion(const QString& path) {
    return QStringLiteral("%1 already exists.\nDo you want to replace it?")
        .arg(QDir::toNativeSeparators(path));
}

QString ConfirmedSavePath(Prompts& prompts, const FileDialogResult& chosen, const QString& filter) {
    const QString path = formats::SavePathForType(chosen.path, filter, chosen.filterIndex + 1);
    if (path != chosen.path && QFileInfo::exists(path) &&
        prompts.question(ReplaceQuestion(path), false) != Answer::Yes)
        return {};
    return path;
}

QString TypedFullPath(const QString& directory, const QString& chosen) {
    const QString folder = QDir::cleanPath(directory);
    if (QFileInfo(chosen).absoluteDir().exists() || !chosen.startsWith(folder + QLatin1Char('/')))
        return chosen;
    // What was typed in the name field: the part after the dialog's folder.
    for (qsizetype slash = chosen.indexOf(QLatin1Char('/'), folder.size() + 1); slash >= 0;
         slash = chosen.indexOf(QLatin1Char('/'), slash + 1)) {
        // The first, longest such path whose folder exists; never one straight in the root.
        const QFileInfo candidate(chosen.mid(slash));
        if (!candidate.fileName().isEmpty() && !candidate.absoluteDir().isRoot() &&
            candidate.absoluteDir().exists())
            return candidate.filePath();
    }
    return chosen;
}

} // namespace thermo4::ui
