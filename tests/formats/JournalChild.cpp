// A process that records into a journal for the tests that must kill it or
// limit its file size:
//   journal_child kill FOLDER      appends until killed, printing "written N"
//                                  every 10 samples once they are in the file
//   journal_child limit FOLDER BYTES [FREE_AT]  appends 500 samples with the file
//                                  size limited to BYTES (as a full disk), lifted
//                                  before sample FREE_AT
//   journal_child fill FOLDER FREE_AT  appends 500 samples to FOLDER on a file
//                                  system filled up to two pages before, freed
//                                  before sample FREE_AT (FOLDER's parent takes
//                                  the filling)
//   journal_child unprivileged FOLDER appends 500 samples as a user who may not
//                                  write FOLDER (drops root first)
// All but the first print "failures F resumed R accepted A error E".
#include "JournalSamples.h"
#include "formats/JournalWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using thermo4::formats::JournalWriter;

namespace {

constexpr int kWaitMs = 60000;
constexpr int kNobody = 65534;

int recordUntilKilled(const QString& folder) {
    JournalWriter writer(folder, thermo4::test::JournalTestHeader());
    for (int i = 0; i < 1000000; ++i) {
        writer.append(thermo4::test::JournalTestSample(i));
        if ((i + 1) % 10 == 0) {
            if (!writer.waitUntilWritten(kWaitMs) || writer.hasFailed())
                return 1;
            std::printf("written %d\n", i + 1);
            std::fflush(stdout);
        }
    }
    return 0;
}

// Records 500 samples; free, when given, makes room again before sample freeAt.
int recordDespiteFailure(const QString& folder, int freeAt = -1, const std::function<bool()>& free = {}) {
    JournalWriter writer(folder, thermo4::test::JournalTestHeader());
    int failures = 0;
    int resumed = 0;
    QObject::connect(&writer, &JournalWriter::failed, [&] { ++failures; });
    QObject::connect(&writer, &JournalWriter::resumed, [&] { ++resumed; });
    int accepted = 0;
    for (int i = 0; i < 500; ++i) {
        if (i == freeAt && !free())
            return 1;
        // One sample at a time, as a recording takes them.
        writer.append(thermo4::test::JournalTestSample(i));
        ++accepted;
        if (!writer.waitUntilWritten(kWaitMs))
            return 1;
        // Every report the writer has made by now is delivered here.
        QCoreApplication::processEvents();
    }
    std::printf("failures %d resumed %d accepted %d error %s\n", failures, resumed, accepted,
                writer.errorString().toLocal8Bit().constData());
    return 0;
}

// Fills the file system of folder's parent but for two pages; freeing removes the filling.
int recordOnAFullDisk(const QString& folder, int freeAt) {
    if (!QDir().mkpath(folder))
        return 2;
    const QByteArray filler = QFile::encodeName(QDir(folder).filePath(QStringLiteral("../filler")));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return 2;
    const QByteArray block(65536, 'f');
    off_t size = 0;
    for (ssize_t written = 0; (written = ::write(fd, block.constData(), std::size_t(block.size()))) > 0;)
        size += written;
    if (errno != ENOSPC || ::ftruncate(fd, size - 2 * 4096) != 0)
        return 2;
    ::close(fd);
    return recordDespiteFailure(folder, freeAt, [&] { return ::unlink(filler.constData()) == 0; });
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args[1];
    if (mode == QLatin1String("kill"))
        return recordUntilKilled(args[2]);
    if (mode == QLatin1String("limit") && args.size() >= 4) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG, as on a full disk
        rlimit limit{};
        if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        const rlim_t unlimited = limit.rlim_max;
        limit.rlim_cur = args[3].toULongLong();
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        return recordDespiteFailure(args[2], args.size() > 4 ? args[4].toInt() : -1, [&] {
            limit.rlim_cur = unlimited;
            return setrlimit(RLIMIT_FSIZE, &limit) == 0;
        });
    }
    if (mode == QLatin1String("fill") && args.size() == 4)
        return recordOnAFullDisk(args[2], args[3].toInt());
    if (mode == QLatin1String("unprivileged")) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            return 2;
        return recordDespiteFailure(args[2]);
    }
    return 2;
}
