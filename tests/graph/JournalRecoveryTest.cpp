#include "GraphRig.h"

#include "core/GraphStatistics.h"
#include "formats/JournalFolder.h"
#include "formats/JournalReader.h"
#include "formats/JournalWriter.h"
#include "graph/JournalRecovery.h"
#include "session/RecordingJournal.h"
#include "support/WindowTestAccess.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>

namespace thermo4::ui::test {
namespace {

using formats::JournalSample;
using Kind = ScriptedPrompts::Kind;

class JournalRecoveryTest : public GraphRig {
protected:
    void SetUp() override {
        GraphRig::SetUp();
        writeTemplate();
    }

    QString folder() const { return formats::JournalFolderIn(m_services.paths.dataDir()); }

    /// Sample i of a recording at 2 s from start: T1 rising, T2 over range every third
    /// sample, T3 without a probe, T4 below zero.
    static JournalSample sample(const QDateTime& start, int i) {
        JournalSample s;
        s.time = core::TDateTimeFromDateTime(start.addSecs(2 * i));
        s.channelState = 0x40 | (i % 3 == 1 ? 0x02 : 0x00);
        s.reading = {20.0f + 0.5f * float(i), s.channelState & 0x02 ? 9999.0f : 30.0f, 9999.0f, -4.5f};
        return s;
    }

    /// A journal left unfinished, as a killed program leaves it; returns its path.
    QString leaveJournal(const QDateTime& start, int samples) {
        formats::JournalHeader header;
        header.start = start;
        header.rateSeconds = 2;
        header.meterModel = QStringLiteral("418");
        header.link = QStringLiteral("usb");
        formats::JournalWriter writer(folder(), header);
        for (int i = 0; i < samples; ++i)
            writer.append(sample(start, i));
        EXPECT_TRUE(writer.waitUntilWritten(kWriteWaitMs));
        return writer.filePath();
    }

    /// Shows the main window and lets it ask its start-up questions.
    void openAndOffer() {
        open();
        QCoreApplication::processEvents();
    }

    QList<TfrmGraph*> graphWindows() const {
        QList<TfrmGraph*> graphs;
        for (MdiChild* child : m_window->children()) {
            if (auto* graph = qobject_cast<TfrmGraph*>(child); graph && !graph->isRealTime())
                graphs.append(graph);
        }
        return graphs;
    }
};

TEST_F(JournalRecoveryTest, EachUnsavedRecordingIsOfferedWithItsThreeAnswers) {
    const QDateTime t0(QDate(2026, 3, 4), QTime(9, 15, 0));
    const QString opened = leaveJournal(t0, 7);
    const QString kept = leaveJournal(t0.addSecs(60), 3);
    const QString deleted = leaveJournal(t0.addSecs(120), 4);
    const QString empty = leaveJournal(t0.addSecs(180), 0);
    // The crash cut the first journal in the middle of its eighth line.
    QFile cut(opened);
    ASSERT_TRUE(cut.open(QIODevice::Append));
    cut.write("2026-03-04T09:15:14.000,23.5,OL,--");
    cut.close();

    m_prompts.queueAnswer(Answer::Yes);
    m_prompts.queueAnswer(Answer::No);
    m_prompts.queueAnswer(Answer::Other);
    openAndOffer();

    const auto text = [](const QDateTime& start, int samples) {
        return QStringLiteral("A real-time recording from %1 with %2 samples was not saved. Open it?")
            .arg(core::DateTimeText(core::TDateTimeFromDateTime(start), QLocale()))
            .arg(samples);
    };
    EXPECT_EQ(m_prompts.texts(Kind::Question),
              QStringList({text(t0, 7), text(t0.addSecs(60), 3), text(t0.addSecs(120), 4)}));
    EXPECT_TRUE(QFile::exists(opened)); // until its graph is saved
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_FALSE(QFile::exists(deleted));
    EXPECT_FALSE(QFile::exists(empty)); // nothing to recover, nothing asked

    const QList<TfrmGraph*> graphs = graphWindows();
    ASSERT_EQ(graphs.size(), 1);
    TfrmGraph& graph = *graphs.first();
    EXPECT_EQ(graph.windowTitle(), opened);
    const QSize client = m_window->clientSize();
    EXPECT_EQ(graph.subWindow()->geometry(),
              QRect(0, 0, client.width(), client.height() - TfrmGraph::kOpenedHeightMargin));
    const chart::Graph1& g = *widgets(graph).Graph1;
    ASSERT_EQ(g.points(), 7);
    for (int i = 0; i < 7; ++i) {
        const JournalSample s = sample(t0, i);
        EXPECT_NEAR(g.xDataII(0, i), s.time, 1e-3 * kSecond) << "point " << i;
        EXPECT_EQ(g.yData(0, i), s.reading[0]) << "point " << i;
        EXPECT_EQ(g.yData(1, i), i % 3 == 1 ? 9999.0f : 30.0f) << "point " << i;
        EXPECT_EQ(g.yData(2, i), 9999.0f) << "point " << i;
    }
    // The statistics as the real-time graph shows them once stopped.
    const QLocale locale;
    EXPECT_EQ(widgets(graph).txtDataNo->text(), QStringLiteral("7"));
    EXPECT_EQ(graph.rateBoxSeconds(), 2);
    EXPECT_EQ(widgets(graph).txtMax[0]->text(), core::ExtremeText(23.0f, sample(t0, 6).time, locale));
    EXPECT_EQ(widgets(graph).txtMin[3]->text(), core::ExtremeText(-4.5f, sample(t0, 0).time, locale));
    EXPECT_EQ(widgets(graph).txtAvg[0]->text(), core::AverageText(21.5 * 7, 7, 1, locale));
    EXPECT_EQ(widgets(graph).txtMax[2]->text(), QStringLiteral("OL"));

    // Saved, the recording no longer needs its journal and is named after its file.
    const QString file = m_dir.filePath(QStringLiteral("recovered.ghf"));
    m_prompts.queueSaveFile(file);
    m_window->activateChild(&graph);
    m_window->Save1Click();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_FALSE(QFile::exists(opened));
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_EQ(graph.windowTitle(), QDir::toNativeSeparators(file));
}

TEST_F(JournalRecoveryTest, AKeptRecordingIsOfferedAgainAndNothingElseIsAsked) {
    const QString kept = leaveJournal(QDateTime(QDate(2026, 3, 4), QTime(9, 0, 0)), 2);
    m_prompts.queueAnswer(Answer::No);
    openAndOffer();
    m_window.reset();
    m_prompts.queueAnswer(Answer::No);
    openAndOffer();
    EXPECT_EQ(m_prompts.texts(Kind::Question).size(), 2);
    EXPECT_TRUE(QFile::exists(kept));
    EXPECT_TRUE(graphWindows().isEmpty());
    m_window.reset();

    // The recording this program is writing is not offered.
    m_prompts.clear();
    QFile::remove(kept);
    openConnected();
    ASSERT_EQ(runFor(QStringLiteral("100")), 1);
    tickUntilSamples(2);
    ASSERT_TRUE(m_window->journal().writer()->waitUntilWritten(kWriteWaitMs));
    ASSERT_EQ(formats::JournalFolder(folder()).unfinished().size(), 0);
    ASSERT_EQ(QDir(folder()).entryList(QDir::Files).size(), 1);
    JournalRecovery::OfferUnsaved(*m_window);
    EXPECT_TRUE(m_prompts.texts(Kind::Question).isEmpty());
}

TEST_F(JournalRecoveryTest, AJournalThatCannotBeReadIsNotOfferedAndStays) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QString junk = QDir(folder()).filePath(QStringLiteral("2026-03-04_09-00-00.csv"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a journal\n");
    file.close();
    openAndOffer();
    EXPECT_TRUE(m_prompts.shown().isEmpty());
    EXPECT_TRUE(QFile::exists(junk));
}

TEST_F(JournalRecoveryTest, AJournalThatStoppedEarlySaysWhenAndWhyAndAnEmptyLeftoverGoes) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    const QDateTime t0(QDate(2026, 3, 4), QTime(10, 40, 0));
    formats::JournalHeader header;
    header.start = t0;
    header.rateSeconds = 2;
    const auto lines = [&](int from, int to) {
        QByteArray text;
        for (int i = from; i < to; ++i)
            text += formats::JournalSampleLine(sample(t0, i));
        return text;
    };
    // As the writer leaves them: stopped for good, and stopped then resumed.
    const QByteArray stopped =
        formats::JournalHeaderText(header) + lines(0, 3) +
        formats::JournalStoppedLine(sample(t0, 3).time, QStringLiteral("no space left on device"));
    const QByteArray resumed =
        formats::JournalHeaderText(header) + lines(0, 2) +
        formats::JournalStoppedLine(sample(t0, 2).time, QStringLiteral("file too large")) +
        formats::JournalResumedLine(sample(t0, 6).time) + lines(6, 8) + formats::JournalReserveLine();
    const QString empty = QDir(folder()).filePath(QStringLiteral("2026-03-04_10-38-00.csv"));
    for (const auto& [name, bytes] : {std::pair{QStringLiteral("2026-03-04_10-39-00.csv"), stopped},
                                      std::pair{QStringLiteral("2026-03-04_10-40-00.csv"), resumed},
                                      std::pair{QStringLiteral("2026-03-04_10-38-00.csv"), QByteArray()}}) {
        QFile file(QDir(folder()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
    }
    // An empty file left by an earlier version, long enough ago not to be one being created.
    QFile leftover(empty);
    ASSERT_TRUE(leftover.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        leftover.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    leftover.close();

    m_prompts.queueAnswer(Answer::No);
    m_prompts.queueAnswer(Answer::No);
    openAndOffer();
    const QString start = core::DateTimeText(core::TDateTimeFromDateTime(t0), QLocale());
    const auto at = [&](int i) { return core::TimeText(sample(t0, i).time, QLocale()); };
    EXPECT_EQ(
        m_prompts.texts(Kind::Question),
        QStringList({QStringLiteral("A real-time recording from %1 with 3 samples was not saved; the journal "
                                    "stopped at %2: no space left on device. Open it?")
                         .arg(start, at(3)),
                     QStringLiteral("A real-time recording from %1 with 4 samples was not saved; the journal "
                                    "misses the samples from %2 to %3: file too large. Open it?")
                         .arg(start, at(2), at(6))}));
    EXPECT_FALSE(QFile::exists(empty));
}

} // namespace
} // namespace thermo4::ui::test
