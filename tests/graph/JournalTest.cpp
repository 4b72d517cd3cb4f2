#include "GraphRig.h"

#include "formats/JournalFolder.h"
#include "formats/JournalReader.h"
#include "formats/JournalWriter.h"
#include "session/RecordingJournal.h"
#include "support/WindowTestAccess.h"

#include <QComboBox>
#include <QFile>
#include <QToolButton>

namespace thermo4::ui::test {
namespace {

using formats::JournalContents;
using formats::JournalFolder;
using formats::JournalReader;

/// Collects the program's warnings (the status-bar notices also go to stderr).
class WarningLog {
public:
    WarningLog() {
        s_lines = &m_lines;
        m_previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtWarningMsg && s_lines)
                    s_lines->append(text);
            });
    }
    ~WarningLog() {
        qInstallMessageHandler(m_previous);
        s_lines = nullptr;
    }
    WarningLog(const WarningLog&) = delete;
    WarningLog& operator=(const WarningLog&) = delete;
    int count(const QString& part) const {
        return int(std::count_if(m_lines.begin(), m_lines.end(),
                                 [&](const QString& l) { return l.contains(part); }));
    }

private:
    static inline QStringList* s_lines = nullptr;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};

class JournalTest : public GraphRig {
protected:
    void SetUp() override {
        GraphRig::SetUp();
        writeTemplate();
        // File > Exit must not end the application the next tests run in.
        m_services.exitLoop = [] {};
    }

    QString journalFolder() const { return formats::JournalFolderIn(m_services.paths.dataDir()); }
    formats::JournalWriter* writer() { return m_window->journal().writer(); }

    /// The current journal read back once everything appended is on disk.
    JournalContents currentJournal() {
        formats::JournalWriter* w = writer();
        if (!w) {
            ADD_FAILURE() << "no journal is being written";
            return {};
        }
        EXPECT_TRUE(w->waitUntilWritten(kWriteWaitMs));
        return JournalReader::read(w->filePath());
    }

    /// Journal files in the folder, finished or not.
    int journalFiles() const {
        return int(QDir(journalFolder()).entryList({QStringLiteral("*.csv")}, QDir::Files).size());
    }

    /// Connected and recording at 2 s with `taken` samples taken; returns the journal's path.
    QString recordSamples(int taken, const QString& count = QStringLiteral("2000")) {
        openConnected();
        EXPECT_EQ(runFor(count), 1);
        tickUntilSamples(taken);
        EXPECT_EQ(sampleCount(), taken);
        return writer() ? (writer()->waitUntilWritten(kWriteWaitMs), writer()->filePath()) : QString();
    }
};

TEST_F(JournalTest, EverySampleOfTheChartIsInTheJournalLineByLine) {
    m_meter->setFixedCelsius(1, -5.5);
    m_meter->setFixedCelsius(2, std::nullopt);
    m_meter->setProbe(3, sim::ChannelShow::NoReading);
    openConnected();
    const QDateTime runAt = m_clock.now();
    ASSERT_EQ(runFor(QStringLiteral("30")), 1);
    for (int i = 0; i < 400 && recording().recording(); ++i) {
        m_meter->setProbe(2,
                          sampleCount() % 7 == 3 ? sim::ChannelShow::OverRange : sim::ChannelShow::Reading);
        tick();
    }
    ASSERT_FALSE(recording().recording()); // the graph filled up; the journal stays until saved
    const JournalContents journal = currentJournal();
    ASSERT_TRUE(journal.ok()) << journal.error.toStdString();
    EXPECT_FALSE(journal.finished);
    EXPECT_EQ(journal.droppedLines, 0);
    EXPECT_EQ(journal.header.start, runAt);
    EXPECT_EQ(journal.header.rateSeconds, 2);
    EXPECT_EQ(journal.header.meterModel, QStringLiteral("418"));
    EXPECT_EQ(journal.header.link, QStringLiteral("usb"));

    const chart::Graph1& g = realTimeChart();
    ASSERT_EQ(g.points(), 30);
    ASSERT_EQ(journal.samples.size(), 30u);
    int overRange = 0;
    for (int i = 0; i < 30; ++i) {
        const formats::JournalSample& s = journal.samples[std::size_t(i)];
        EXPECT_NEAR(s.time, g.xDataII(0, i), 0.5e-3 * kSecond) << "sample " << i;
        for (int k = 0; k < 4; ++k)
            EXPECT_FLOAT_EQ(s.reading[std::size_t(k)], g.yData(k, i)) << "sample " << i << " T" << k + 1;
        // The journal tells "OL" from "----" where the chart has one null value for both.
        EXPECT_EQ(s.channelState & 0x88, 0x80) << "sample " << i;
        overRange += (s.channelState & 0x04) ? 1 : 0;
        EXPECT_EQ(bool(s.channelState & 0x04), g.yData(2, i) == 9999.0f) << "sample " << i;
    }
    EXPECT_GT(overRange, 0);
}

TEST_F(JournalTest, TheJournalEndsWhenTheSamplesAreSavedOrThrownAway) {
    struct Case {
        const char* name;
        std::function<void()> end;
        bool removed;
    };
    const auto stop = [this] { m_window->btnStopClick(); };
    const Case cases[] = {
        {"stopped only", stop, false},
        {"stopped and saved",
         [this, stop] {
             stop();
             m_prompts.queueSaveFile(m_dir.filePath(QStringLiteral("a.ghf")));
             m_window->Save1Click();
         },
         true},
        {"saved while recording, more samples, stopped",
         [this, stop] {
             m_prompts.queueSaveFile(m_dir.filePath(QStringLiteral("b.ghf")));
             m_window->Save1Click();
             tickUntilSamples(5);
             stop();
         },
         false},
        {"saved while recording, stopped at once",
         [this, stop] {
             m_prompts.queueSaveFile(m_dir.filePath(QStringLiteral("c.ghf")));
             m_window->Save1Click();
             stop();
         },
         true},
        {"save cancelled", [this] { m_window->Save1Click(); }, false},
        {"Clear answered No",
         [this, stop] {
             stop();
             m_prompts.queueAnswer(Answer::No);
             realTime().tbntClrClick();
         },
         true},
        {"a new Run answered No, its dialog cancelled",
         [this] {
             m_prompts.queueAnswer(Answer::No);
             run({}, false);
         },
         false},
        {"a new Run answered Cancel",
         [this] {
             m_prompts.queueAnswer(Answer::Cancel);
             m_window->btnRunClick();
         },
         false},
        {"the rate changed, answered No",
         [this] {
             m_prompts.queueAnswer(Answer::No);
             widgets(realTime()).ComboBox2->setCurrentIndex(5);
             realTime().ComboBox1Change();
         },
         true},
        {"the window closed, answered No",
         [this] {
             m_prompts.queueAnswer(Answer::No);
             realTime().closeWindow();
         },
         true},
        {"the window kept, answered Cancel",
         [this] {
             m_prompts.queueAnswer(Answer::Cancel);
             realTime().closeWindow();
         },
         false},
        {"the program closed, answered No",
         [this] {
             m_prompts.queueAnswer(Answer::No);
             m_window->close();
             m_window.reset();
         },
         true},
        {"the program left by Exit",
         [this] {
             m_window->Exit1Click();
             m_window.reset();
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(journalFolder()).removeRecursively();
        const QString path = recordSamples(3);
        ASSERT_FALSE(path.isEmpty());
        c.end();
        // Whatever is still written goes to the journal before the window goes.
        if (m_window && writer()) {
            ASSERT_TRUE(writer()->waitUntilWritten(kWriteWaitMs));
        }
        const bool stillWritten = m_window && writer() && writer()->filePath() == path;
        m_window.reset();
        EXPECT_EQ(!QFile::exists(path), c.removed);
        // What is left over is offered at the next start, with every sample taken.
        const QList<formats::JournalEntry> left = JournalFolder(journalFolder()).unfinished();
        ASSERT_EQ(left.size(), c.removed ? 0 : 1);
        if (!c.removed) {
            EXPECT_GE(left[0].samples, 3);
            EXPECT_TRUE(stillWritten || c.name == std::string("the program left by Exit"));
        }
        EXPECT_EQ(m_prompts.pending(), 0);
        m_prompts.clear();
    }
}

TEST_F(JournalTest, ANewRunStartsANewJournalAndEndsTheOldOne) {
    const QString first = recordSamples(2);
    m_prompts.queueAnswer(Answer::No);
    ASSERT_EQ(runFor(QStringLiteral("2000")), 1);
    EXPECT_FALSE(QFile::exists(first));
    tickUntilSamples(2);
    const JournalContents second = currentJournal();
    EXPECT_NE(writer()->filePath(), first);
    EXPECT_EQ(second.samples.size(), 2u);
    EXPECT_EQ(journalFiles(), 1);
}

TEST_F(JournalTest, AJournalThatCannotBeWrittenIsReportedOnceAndTheRecordingGoesOn) {
    const QString data = m_services.paths.dataDir();
    // Root ignores the folder's mode: a plain file where the journal folder goes fails for root too.
    QFile blocker(journalFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner);
    WarningLog warnings;
    openConnected();
    ASSERT_EQ(runFor(QStringLiteral("2000")), 1);
    for (int i = 0; i < 6; ++i) {
        tickUntilSamples(sampleCount() + 1);
        ASSERT_TRUE(writer()->waitUntilWritten(kWriteWaitMs));
        QCoreApplication::processEvents();
    }
    QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(recording().recording());
    EXPECT_EQ(sampleCount(), 6);
    EXPECT_EQ(realTimeChart().yData(0, 5), 20.0f);
    EXPECT_EQ(warnings.count(QStringLiteral("without its journal")), 1);
    EXPECT_TRUE(m_window->statusText(0).contains(journalFolder())) << m_window->statusText(0).toStdString();
    EXPECT_EQ(m_window->statusText(1), QString::fromLatin1(TfrmMain::kOnConnection));
}

} // namespace
} // namespace thermo4::ui::test
