#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace thermo4::core {

// File names on Linux are bytes in no particular encoding. A name is held in a QString
// without loss: the parts that are valid UTF-8 as their characters, every other byte b as
// the lone surrogate U+DC00 + b (which valid UTF-8 never yields). Names that are valid UTF-8,
// nearly all of them, read the same as ever. Qt's own conversion (QFile::encodeName) would
// turn such bytes into U+FFFD and then into other bytes, so a file given as "v\xE9.ch4" would
// be written as "v\xEF\xBF\xBD.ch4": paths reach the system only through FileNameBytes.

/// The name held by bytes.
QString FileNameFromBytes(QByteArrayView bytes);
/// The bytes of name: UTF-8, with every escaped byte back as it was.
QByteArray FileNameBytes(QStringView name);
/// Whether name holds bytes that are not UTF-8 (escaped ones).
bool HasEscapedBytes(QStringView name);

/// The arguments of main() after the program name, each decoded as a file name, so that
/// a path on the command line reaches the file system as it was typed.
QStringList ArgumentsFromArgv(int argc, const char* const* argv);

} // namespace thermo4::core
