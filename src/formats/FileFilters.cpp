#include "formats/FileFilters.h"

#include <QFileInfo>

namespace thermo4::formats {

namespace {

constexpr int kMaxFilterExtensions = 5;
constexpr qsizetype kExtensionChars = 4; // ".GHF"

const QString kGraphTypes =
    QStringLiteral("Graph file(*.ghf,only for thermo4)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT");
const QString kCommaType = QStringLiteral("|EXCEL file format(*.CSV,seperated by comma)|*.CSV");

} // namespace

bool DecimalSeparatorIsComma(const QLocale& locale) {
    return locale.decimalPoint() == QLatin1String(",");
}

QString GraphFileFilter(bool decimalComma) {
    return decimalComma ? kGraphTypes : kGraphTypes + kCommaType;
}

QString TableFileFilter(bool decimalComma) {
    if (decimalComma)
        return QStringLiteral(" TXT file(*.txt,data seperated by tab) |*.TXT");
    // The blanks belong to the first mask.
    return QStringLiteral("TXT file(*.txt,data seperated by tab)|*.TXT") + QString(29, QLatin1Char(' ')) +
           QStringLiteral("|EXCEL file format(*.CSV,seperated by comma) |*.CSV");
}

QStringList FilterExtensions(const QString& filter) {
    // Each type holds "*." twice, in its description and in its mask; the extension is
    // taken after the second one.
    QStringList extensions;
    QStringView rest(filter);
    const QLatin1String star("*.");
    while (extensions.size() < kMaxFilterExtensions) {
        qsizetype at = rest.indexOf(star);
        if (at < 0)
            break;
        rest = rest.mid(at + 1);
        at = rest.indexOf(star);
        if (at < 0)
            break;
        rest = rest.mid(at + 1);
        if (rest.size() >= kExtensionChars)
            extensions << rest.left(kExtensionChars).toString();
    }
    return extensions;
}

std::optional<QString> FileNameForFilterType(const QString& fileName, const QString& filter,
                                             int filterIndex) {
    const QStringList extensions = FilterExtensions(filter);
    if (filterIndex < 1 || filterIndex > extensions.size() || fileName.isEmpty())
        return std::nullopt;
    QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name + extensions.at(filterIndex - 1);
}

QString SavePathForType(const QString& fileName, const QString& filter, int filterIndex) {
    const QStringList extensions = FilterExtensions(filter);
    if (filterIndex < 1 || filterIndex > extensions.size() || fileName.isEmpty())
        return fileName;
    const QString suffix = QFileInfo(fileName).suffix();
    for (const QString& extension : extensions) {
        if (!suffix.isEmpty() && extension.mid(1).compare(suffix, Qt::CaseInsensitive) == 0)
            return fileName;
    }
    const QString extension = extensions.at(filterIndex - 1);
    // A name ending in its dot ("run.") takes the extension without a second dot.
    return fileName.endsWith(QLatin1Char('.')) ? fileName + extension.mid(1) : fileName + extension;
}

GraphSaveKind GraphSaveKindFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("ghf"))
        return GraphSaveKind::GraphFile;
    if (suffix == QLatin1String("txt"))
        return GraphSaveKind::TabText;
    if (suffix == QLatin1String("csv"))
        return GraphSaveKind::CommaText;
    return GraphSaveKind::Nothing;
}

QChar TextSeparatorFor(const QString& fileName) {
    return fileName.right(3).toLower() == QLatin1String("csv") ? QLatin1Char(',') : QLatin1Char('\t');
}

} // namespace thermo4::formats
