#include "formats/JournalFolder.h"

#include "formats/JournalFormat.h"
#include "formats/JournalReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace thermo4::formats {

namespace {

/// Age (s) from which an empty journal file is taken for one left behind.
constexpr qint64 kEmptyFileAgeS = 60;

// A journal that a running recording holds locked (in this process or another).
bool inUse(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
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
    const QDir folder(m_folder);
    const QStringList names =
        folder.entryList({QStringLiteral("*.csv")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        if (inUse(path))
            continue;
        if (const QFileInfo info(path); info.isFile() && info.size() == 0) {
            // A file just created has no header for a moment before its writer locks it.
            if (info.lastModified().secsTo(QDateTime::currentDateTime()) >= kEmptyFileAgeS)
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
    QFile file(path);
    if (file.remove())
        return true;
    if (error)
        *error = QStringLiteral("%1: cannot remove: %2").arg(path, file.errorString());
    return false;
}

} // namespace thermo4::formats
