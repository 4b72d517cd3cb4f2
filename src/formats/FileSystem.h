#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

namespace thermo4::formats {

// What the program does with paths on the file system, on the bytes of each name
// (core::FileNameBytes), so that a name that is not UTF-8 reaches the very file it names.

/// How opening a file for reading ended.
enum class FileOpen { Opened, Missing, NotRegular, Failed };

/// Opens path for reading when it is a regular file. A folder, pipe, device or socket is
/// refused before anything is read, and never waited for: opening a pipe for reading
/// blocks until a writer comes, and a device may never end. On anything but Opened file
/// stays closed and reason, when given, says why: "no such file", "not a regular file",
/// or the system's reason.
FileOpen OpenRegularFile(const QString& path, QFile& file, QString* reason = nullptr);

/// Why a file was not opened, after the path in a reader's message: the reason of
/// OpenRegularFile, "cannot open: " and the system's reason when the system refused.
QString NotOpenedReason(FileOpen result, const QString& reason);

/// What is at a path (links followed).
enum class PathKind { Missing, File, Folder, Other };
PathKind KindOf(const QString& path);

/// Creates path and every missing folder above it. False with the system's reason when
/// it cannot ("Read-only file system", "Not a directory").
bool MakeFolders(const QString& path, QString* reason = nullptr);
/// Removes a file; false with the system's reason when it cannot (or is not there).
bool RemoveFile(const QString& path, QString* reason = nullptr);
/// Why nothing can be created in folder ("Permission denied", "Read-only file system"),
/// or the empty text when it can.
QString FolderWriteProblem(const QString& folder);
/// The names of the regular files in folder ending in suffix, sorted by name.
QStringList FileNamesIn(const QString& folder, const QString& suffix);

/// The folder part of path: "." for a bare name, "/" for a name in the root. Unlike
/// QFileInfo::absolutePath it never goes through Qt's own name conversion.
QString FolderOf(const QString& path);
/// path made absolute against the working folder, and cleaned ("a/../b" is "b").
QString AbsolutePath(const QString& path);
/// folder and name joined with one "/".
QString JoinPath(const QString& folder, const QString& name);

/// A path chosen in a file dialog, with the names as they are on disk. The dialog shows
/// a name that is not UTF-8 with U+FFFD in place of its odd bytes; this finds the one
/// file or folder so shown. Empty, with the reason, when two names on disk read the same.
QString PathOnDisk(const QString& shown, QString* reason = nullptr);

/// The system's text for errno value error.
QString SystemReason(int error);

} // namespace thermo4::formats
