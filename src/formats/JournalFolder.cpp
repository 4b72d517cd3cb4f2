#include "formats/JournalFolder.h"

#include "core/FileName.h"
#include "formats/FileSystem.h"
#include "formats/JournalFormat.h"
#include "formats/JournalReader.h"

#include <cerrno>
#include <ctime>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo4::formats {

namespace {

/// Age (s) from which an empty journal file is taken for one left behind.
constexpr qint64 kEmptyFileAgeS = 60;

// The age (s) of an empty regular file at path; nothing for any other path.
std::optional<qint64> ageOfEmptyFile(const QString& path) {
    struct stat info {};
    if (::stat(core::FileNameBytes(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size != 0)
        return std::nullopt;
    return static_cast<qint64>(std::time(nullptr)) - static_cast<qint64>(info.st_mtime);
}

// A journal that a running recording holds locked (in this process or another).
bool inUse(const QString& path) {
    const int fd = ::open(core::FileNameBytes(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

} // namespace

JournalFolder::JournalFolder(QString folder) : m_folder(std::move(folder)) {}

JournalFolder JournalFolder::inDataDir(const QString& dataDir) {
    return JournalFolder(JournalFolderIn(dataDir));
}

QList<JournalEntry> JournalFolder::unfinished() const {
    QList<JournalEntry> entries;
    for (const QString& name : FileNamesIn(m_folder, QStringLiteral(".csv"))) {
        const QString path = JoinPath(m_folder, name);
        if (inUse(path))
            continue;
        if (const std::optional<qint64> age = ageOfEmptyFile(path)) {
            // A file just created has no header for a moment before its writer locks it.
            if (*age >= kEmptyFileAgeS)
                entries.append(JournalEntry{path, {}, 0, {}, {}});
            continue;
        }
        const JournalContents contents = JournalReader::read(path);
        if (contents.finished)
            continue;
        JournalEntry entry;
        entry.path = path;
        entry.error = contents.error;
        if (contents.ok()) {
            entry.start = contents.header.start;
            entry.samples = static_cast<int>(contents.samples.size());
            entry.gaps = contents.gaps;
        }
        entries.append(entry);
    }
    return entries;
}

bool JournalFolder::remove(const QString& path, QString* error) {
    QString why;
    if (RemoveFile(path, &why))
        return true;
    if (error)
        *error = QStringLiteral("%1: cannot remove: %2").arg(path, why);
    return false;
}

} // namespace thermo4::formats
