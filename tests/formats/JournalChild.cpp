// A process that records into a journal for the tests that must kill it or
// limit its file size:
//   journal_child kill FOLDER      appends until killed, printing "written N"
//                                  every 10 samples once they are in the file
//   journal_child limit FOLDER BYTES  appends 500 samples with the file size
//                                  limited to BYTES (as a full disk)
//   journal_child unprivileged FOLDER appends 500 samples as a user who may not
//                                  write FOLDER (drops root first)
// The last two print "failures F accepted A error E".
#include "JournalSamples.h"
#include "formats/JournalWriter.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

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

int recordDespiteFailure(const QString& folder) {
    JournalWriter writer(folder, thermo4::test::JournalTestHeader());
    int failures = 0;
    QObject::connect(&writer, &JournalWriter::failed, [&] { ++failures; });
    int accepted = 0;
    for (int i = 0; i < 500; ++i) {
        writer.append(thermo4::test::JournalTestSample(i));
        ++accepted;
        if (i % 100 == 99) {
            // Every report the writer has made by now is delivered here.
            if (!writer.waitUntilWritten(kWaitMs))
                return 1;
            QCoreApplication::processEvents();
        }
    }
    std::printf("failures %d accepted %d error %s\n", failures, accepted,
                writer.errorString().toLocal8Bit().constData());
    return 0;
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
    if (mode == QLatin1String("limit") && args.size() == 4) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG, as on a full disk
        const rlim_t bytes = args[3].toULongLong();
        const rlimit limit{bytes, bytes};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
        return recordDespiteFailure(args[2]);
    }
    if (mode == QLatin1String("unprivileged")) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            return 2;
        return recordDespiteFailure(args[2]);
    }
    return 2;
}
