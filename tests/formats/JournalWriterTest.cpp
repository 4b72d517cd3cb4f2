#include "formats/JournalWriter.h"
#include "JournalSamples.h"
#include "formats/JournalFolder.h"
#include "formats/JournalReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <memory>

#include <unistd.h>

namespace thermo4::formats {
namespace {

// Generous: the machine running the tests is shared and often loaded.
constexpr int kWaitMs = 60000;

class Journal : public ::testing::Test {
protected:
    QString folder() const { return JournalFolderIn(m_data.path()); }

    std::unique_ptr<JournalWriter> record(int samples,
                                          const JournalHeader& header = thermo4::test::JournalTestHeader()) {
        auto writer = std::make_unique<JournalWriter>(folder(), header);
        for (int i = 0; i < samples; ++i)
            writer->append(thermo4::test::JournalTestSample(i));
        EXPECT_TRUE(writer->waitUntilWritten(kWaitMs));
        return writer;
    }

    static void expectTestSamples(const JournalContents& contents, std::size_t atLeast) {
        ASSERT_TRUE(contents.ok()) << contents.error.toStdString();
        EXPECT_GE(contents.samples.size(), atLeast);
        for (std::size_t i = 0; i < contents.samples.size(); ++i)
            ASSERT_EQ(contents.samples[i], thermo4::test::JournalTestSample(int(i))) << "sample " << i;
    }

    QTemporaryDir m_data;
};

TEST_F(Journal, RecordingReadsBackSampleBySample) {
    auto writer = record(300);
    const QString path = writer->filePath();
    EXPECT_EQ(path, QDir(folder()).filePath(QStringLiteral("2024-05-01_10-00-00.csv")));
    // Every line is in the file while the recording still runs.
    const JournalContents running = JournalReader::read(path);
    expectTestSamples(running, 300);
    EXPECT_EQ(running.samples.size(), 300u);
    EXPECT_EQ(running.droppedLines, 0);

    writer.reset();
    const JournalContents contents = JournalReader::read(path);
    expectTestSamples(contents, 300);
    EXPECT_EQ(contents.samples.size(), 300u);
    EXPECT_FALSE(contents.finished);
    EXPECT_EQ(contents.header.program, JournalProgramName());
    EXPECT_EQ(contents.header.start, thermo4::test::JournalTestStart());
    EXPECT_EQ(contents.header.rateSeconds, 1);
    EXPECT_EQ(contents.header.meterModel, QStringLiteral("418"));
    EXPECT_EQ(contents.header.link, QStringLiteral("simulated"));
}

TEST_F(Journal, SavedOrDiscardedRecordingsLeaveNoJournal) {
    for (const bool saved : {true, false}) {
        auto writer = record(20);
        const QString path = writer->filePath();
        ASSERT_TRUE(QFile::exists(path));
        saved ? writer->finish() : writer->discard();
        writer->append(thermo4::test::JournalTestSample(20)); // ignored once the recording is settled
        writer.reset();
        EXPECT_FALSE(QFile::exists(path)) << (saved ? "finish" : "discard");
        EXPECT_TRUE(JournalFolder(folder()).unfinished().isEmpty());
    }
}

TEST_F(Journal, UnsettledRecordingsAreListedForRecovery) {
    JournalHeader later = thermo4::test::JournalTestHeader();
    later.start = later.start.addSecs(3600);
    auto second = record(5, later);
    auto first = record(12);
    // A journal still being written belongs to a running recording.
    EXPECT_TRUE(JournalFolder(folder()).unfinished().isEmpty());
    const QString firstPath = first->filePath();
    first.reset();
    second.reset();

    QFile stray(QDir(folder()).filePath(QStringLiteral("2020-01-01_00-00-00.csv")));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("time,T1,T2,T3,T4\n");
    stray.close();
    QFile settled(QDir(folder()).filePath(QStringLiteral("2030-01-01_00-00-00.csv")));
    ASSERT_TRUE(settled.open(QIODevice::WriteOnly));
    settled.write(JournalHeaderText(thermo4::test::JournalTestHeader()) + "# finished: saved\n");
    settled.close();

    const QList<JournalEntry> entries = JournalFolder::inDataDir(m_data.path()).unfinished();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_TRUE(entries[0].error.contains(QStringLiteral("not a recording journal")));
    EXPECT_FALSE(entries[0].start.isValid());
    EXPECT_EQ(entries[1].path, firstPath);
    EXPECT_EQ(entries[1].start, thermo4::test::JournalTestStart());
    EXPECT_EQ(entries[1].samples, 12);
    EXPECT_TRUE(entries[1].error.isEmpty());
    EXPECT_EQ(entries[2].start, later.start);
    EXPECT_EQ(entries[2].samples, 5);

    QString error;
    EXPECT_TRUE(JournalFolder::remove(entries[1].path, &error));
    EXPECT_TRUE(JournalFolder::remove(entries[0].path, &error));
    EXPECT_FALSE(JournalFolder::remove(entries[0].path, &error));
    EXPECT_TRUE(error.contains(entries[0].path));
    EXPECT_EQ(JournalFolder(folder()).unfinished().size(), 1);
}

TEST_F(Journal, RecordingsStartedInTheSameSecondGetTheirOwnFiles) {
    auto first = record(3);
    auto second = record(4);
    EXPECT_NE(first->filePath(), second->filePath());
    EXPECT_TRUE(second->filePath().endsWith(QStringLiteral("2024-05-01_10-00-00_2.csv")));
    EXPECT_EQ(JournalReader::read(second->filePath()).samples.size(), 4u);
}

TEST_F(Journal, AFolderThatCannotBeMadeIsReportedOnceAndTheRecordingGoesOn) {
    QFile file(m_data.filePath(QStringLiteral("journal")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)); // a file where the folder should be
    file.close();
    JournalWriter writer(folder(), thermo4::test::JournalTestHeader());
    QSignalSpy failures(&writer, &JournalWriter::failed);
    for (int i = 0; i < 2 * JournalWriter::kQueueCapacity; ++i)
        writer.append(thermo4::test::JournalTestSample(i));
    ASSERT_TRUE(writer.waitUntilWritten(kWaitMs));
    QCoreApplication::processEvents();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0][0].toString().contains(folder())) << failures[0][0].toString().toStdString();
    EXPECT_EQ(writer.errorString(), failures[0][0].toString());
    EXPECT_TRUE(writer.hasFailed());
    EXPECT_TRUE(writer.filePath().isEmpty());
    writer.finish();
}

struct ChildRun {
    int failures = -1;
    int resumed = -1;
    int accepted = -1;
    QString error;
};

QString childPath() {
    return QStringLiteral(THERMO4_JOURNAL_CHILD);
}

// Runs program (journal_child in one of its failure modes, or a command that runs it) and reads its summary
// line.
ChildRun runChild(const QStringList& args, const QString& program = childPath()) {
    QProcess child;
    child.start(program, args);
    EXPECT_TRUE(child.waitForFinished(kWaitMs));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed();
    const QStringList words = out.split(QLatin1Char(' '));
    ChildRun run;
    if (words.size() < 7 || words[0] != QLatin1String("failures") || words[2] != QLatin1String("resumed") ||
        words[4] != QLatin1String("accepted")) {
        ADD_FAILURE() << "journal_child said: " << out.toStdString();
        return run;
    }
    run.failures = words[1].toInt();
    run.resumed = words[3].toInt();
    run.accepted = words[5].toInt();
    run.error = words.mid(7).join(QLatin1Char(' '));
    return run;
}

TEST_F(Journal, AReadOnlyFolderIsReportedOnceAndTheRecordingGoesOn) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    // The child drops root, so it must reach the folder: only the folder itself is read-only.
    QFile::setPermissions(m_data.path(),
                          QFile::permissions(m_data.path()) | QFile::ExeOther | QFile::ReadOther);
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                        QFile::ReadOther | QFile::ExeOther);
    const ChildRun run = runChild({QStringLiteral("unprivileged"), folder()});
    EXPECT_EQ(run.failures, 1);
    EXPECT_EQ(run.resumed, 0);
    EXPECT_EQ(run.accepted, 500);
    EXPECT_TRUE(run.error.contains(QStringLiteral("cannot create"))) << run.error.toStdString();
    EXPECT_TRUE(run.error.contains(QStringLiteral("Permission denied"))) << run.error.toStdString();
    EXPECT_TRUE(QDir(folder()).isEmpty());
}

TEST_F(Journal, AFullDiskStopsTheJournalWithANoteAndItGoesOnOnceThereIsRoomAgain) {
    constexpr int kFreeAt = 250;
    const QString free = QString::number(kFreeAt);
    const bool root = ::geteuid() == 0 && QProcess::execute(QStringLiteral("unshare"), {"-m", "true"}) == 0;
    struct Case {
        const char* what;
        QStringList args;
        const char* reason;
        bool freed;
        /// The disk has no room for the header: the journal starts once it has.
        bool noHeader;
    };
    const Case cases[] = {
        {"file size limit, lifted", {"limit", folder(), "4000", free}, "file too large", true, false},
        {"file size limit, kept", {"limit", folder(), "4000"}, "file too large", false, false},
        {"no room for the header, then room", {"limit", folder(), "100", free}, "file too large", true, true},
        {"no room for the header ever", {"limit", folder(), "100"}, "file too large", false, true},
        {"full file system, freed", {"fill", folder(), free}, "no space left on device", true, false},
    };
    const double second = 1.0 / 86400.0;
    const double t0 = thermo4::test::JournalTestSample(0).time;
    const auto index = [&](double time) { return int(std::lround((time - t0) / second)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder()).removeRecursively();
        ChildRun run;
        if (c.args.first() == QLatin1String("fill")) {
            if (!root) {
                std::cout << "[  SKIPPED ] " << c.what << ": a file system of its own needs root\n";
                continue;
            }
            // A small tmpfs of its own, mounted in a mount namespace that ends with the child;
            // the journal is copied out for reading.
            QDir().mkpath(m_data.filePath(QStringLiteral("tmpfs")));
            run =
                runChild({"-m", "sh", "-c",
                          "mount -t tmpfs -o size=256k tmpfs \"$1\" && \"$2\" fill \"$1/journal\" \"$3\" && "
                          "mkdir -p \"$4\" && cp \"$1\"/journal/*.csv \"$4\"/",
                          "sh", m_data.filePath(QStringLiteral("tmpfs")), childPath(), free, folder()},
                         QStringLiteral("unshare"));
        } else {
            run = runChild(c.args);
        }
        EXPECT_EQ(run.failures, 1);
        EXPECT_EQ(run.resumed, c.freed ? 1 : 0);
        EXPECT_EQ(run.accepted, 500);
        EXPECT_TRUE(run.error.contains(QStringLiteral("cannot write"))) << run.error.toStdString();
        const QStringList files = QDir(folder()).entryList(QDir::Files | QDir::Hidden);
        if (c.noHeader && !c.freed) {
            EXPECT_TRUE(files.isEmpty())
                << "a journal that could not be made leaves no file: " << files.join(' ').toStdString();
            continue;
        }
        const QList<JournalEntry> entries = JournalFolder(folder()).unfinished();
        ASSERT_EQ(entries.size(), 1);
        const JournalContents contents = JournalReader::read(entries[0].path);
        ASSERT_TRUE(contents.ok()) << contents.error.toStdString();
        EXPECT_EQ(contents.droppedLines, 0);
        // Samples 0 to stop - 1, then, once there is room again, resume to 499.
        ASSERT_EQ(contents.gaps.size(), 1);
        const JournalGap& gap = contents.gaps.first();
        EXPECT_EQ(gap.reason, QString::fromLatin1(c.reason));
        EXPECT_EQ(entries[0].gaps, contents.gaps);
        const int stop = index(gap.from);
        EXPECT_EQ(stop == 0, c.noHeader) << stop;
        EXPECT_LT(stop, kFreeAt);
        const int resume = gap.to ? index(*gap.to) : 500;
        EXPECT_EQ(bool(gap.to), c.freed);
        if (c.freed) {
            // Tried again at most every 10 s of samples, the first try after the room came back.
            EXPECT_GE(resume, kFreeAt);
            EXPECT_LT(resume, kFreeAt + JournalWriter::kRetryIntervalS);
        }
        ASSERT_EQ(contents.samples.size(), std::size_t(stop + 500 - resume));
        for (int i = 0; i < int(contents.samples.size()); ++i)
            ASSERT_EQ(contents.samples[std::size_t(i)],
                      thermo4::test::JournalTestSample(i < stop ? i : resume + i - stop))
                << "sample " << i;
    }
}

TEST_F(Journal, AKilledRecordingKeepsEverySampleItWrote) {
    QProcess child;
    child.start(childPath(), {QStringLiteral("kill"), folder()});
    int reported = 0;
    QByteArray pending;
    while (reported < 500 && child.waitForReadyRead(kWaitMs)) {
        pending += child.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            const QByteArray line = pending.left(end);
            if (line.startsWith("written "))
                reported = line.mid(8).toInt();
        }
    }
    ASSERT_GE(reported, 500) << child.readAllStandardError().toStdString();
    child.kill(); // SIGKILL, somewhere in the middle of the next samples
    ASSERT_TRUE(child.waitForFinished(kWaitMs));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    const QList<JournalEntry> entries = JournalFolder(folder()).unfinished();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries[0].error.isEmpty()) << entries[0].error.toStdString();
    const JournalContents contents = JournalReader::read(entries[0].path);
    expectTestSamples(contents, std::size_t(reported));
    EXPECT_LE(contents.droppedLines, 1);
}

} // namespace
} // namespace thermo4::formats
