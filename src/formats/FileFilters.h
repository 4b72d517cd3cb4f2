#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace thermo4::formats {

/// Default extensions of the graph save and the table save dialogs.
inline constexpr char kGraphDefaultSuffix[] = "GHF";
inline constexpr char kTableDefaultSuffix[] = "TXT";

/// Whether the locale writes decimals with a comma: then no comma-separated
/// file type is offered.
bool DecimalSeparatorIsComma(const QLocale& locale);

/// File filter ("description|mask|…") of the graph save and the single-file open.
QString GraphFileFilter(bool decimalComma);
/// File filter of the table save.
QString TableFileFilter(bool decimalComma);

/// The extensions (".GHF", ".TXT", ".CSV") of a filter's file types in order,
/// read as the save dialog's type switch reads them: at most five.
QStringList FilterExtensions(const QString& filter);

/// The file name the save dialog shows after switching to file type
/// filterIndex (from 1) of filter: fileName with that type's extension and
/// without its folder ("C:/data/run1.GHF" → "run1.TXT"). Nothing when the
/// filter yields no extension for that index or the name is empty.
std::optional<QString> FileNameForFilterType(const QString& fileName, const QString& filter, int filterIndex);

/// The file a save writes when the user chose fileName with file type filterIndex (from 1) of
/// filter: fileName itself when its extension names one of the filter's types (a typed
/// extension wins over the chosen type), otherwise fileName with the chosen type's extension
/// added ("run" → "run.TXT", "run.dat" → "run.dat.TXT"). fileName unchanged when the filter has
/// no type at that index.
QString SavePathForType(const QString& fileName, const QString& filter, int filterIndex);

/// What a graph save writes for the chosen file name's extension.
enum class GraphSaveKind { GraphFile, TabText, CommaText, Nothing };
GraphSaveKind GraphSaveKindFor(const QString& fileName);

/// The separator of a text file: a comma when the name ends in "csv" (any
/// case), otherwise a tab.
QChar TextSeparatorFor(const QString& fileName);

} // namespace thermo4::formats
