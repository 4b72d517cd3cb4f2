#pragma once

#include "core/DataSet.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace thermo4::cli {

/// Writes text to standard output as UTF-8 and flushes it. False when the
/// write or the flush failed (a full disk, a closed terminal); the first
/// failure is kept for StdoutError.
bool PrintOut(const QString& text);
/// Why standard output failed, or the empty text while it works.
QString StdoutError();
/// One line on standard error, prefixed "thermo4-cli: ".
void PrintError(const QString& message);
/// One line on standard error as it is (a report line that starts with its own word).
void PrintErrorLine(const QString& line);

/// Parses args with parser (which gets --help added). Returns an exit code when
/// the command is already done: kExitOk after printing the help, kExitUsage
/// after reporting a bad option or a wrong number of positional arguments
/// (expected counts them). An option given twice is refused unless repeatable names it.
std::optional<int> ParseCommandLine(QCommandLineParser& parser, const QStringList& args, qsizetype expected,
                                    const QStringList& repeatable = {});

/// Reads and decodes a collection file. On failure prints the reason and
/// returns the exit code; on success fills collection.
std::optional<int> LoadCollection(const QString& path, core::DataSetCollection& collection);

/// The option --set N: the number of a data set, from 1.
QCommandLineOption SetOption();

/// Loads the collection file at path and picks data set N of --set N: the option is
/// required, N a number from 1 up to the file's count. On failure prints why and returns
/// the exit code; on success fills collection and sets index to N − 1.
std::optional<int> LoadChosenDataSet(const QCommandLineParser& parser, const QString& command,
                                     const QString& path, core::DataSetCollection& collection, int& index);

/// Date-time of days since 1899-12-30 as "YYYY-MM-DDTHH:MM:SS".
QString IsoTime(double days);

} // namespace thermo4::cli
