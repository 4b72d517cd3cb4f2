#include "logger/LoggerFixture.h"
#include "support/WindowTestAccess.h"

#include <QMdiSubWindow>

namespace thermo4::ui::test {
namespace {

class CollectionCommandsTest : public LoggerTest {
protected:
    void load(std::vector<sim::LoggedDataSet> sets) {
        setMemory(sets);
        download();
        ASSERT_TRUE(loggerWindow());
        activate(loggerWindow());
    }
    /// File ▸ Save with the collection chosen and file given.
    void save(const QString& file) {
        answerChoice(TfrmOpenSave::Choice::Collection);
        m_prompts.queueSaveFile(file);
        m_window->Save1Click();
    }
    void openFile(const QString& file) {
        answerChoice(TfrmOpenSave::Choice::Collection);
        m_prompts.queueOpenFile(file);
        m_window->Open1Click();
    }
    QStringList questions() const { return m_prompts.texts(ScriptedPrompts::Kind::Question); }
};

TEST_F(CollectionCommandsTest, ASavedCollectionReopensWithTheSameDataSets) {
    load({MakeSet(90, true, 3), MakeSet(60, false, 5, 900)});
    const QList<QStringList> table = loggerTable();
    const core::DataSetCollection sets = logger().dataSets;
    save(path("two.ch4"));
    EXPECT_EQ(fileBytes(path("two.ch4")), fileBytes(tempFile()));
    EXPECT_FALSE(logger().loggerUnsaved);

    load({MakeSet(2, true, 7)});
    logger().loggerUnsaved = false;
    openFile(path("two.ch4"));
    EXPECT_EQ(m_choiceCaptions, (QStringList{"Save File", "Open File"}));
    EXPECT_EQ(m_prompts.fileRequests().first().filters,
              FileFilter::parse("Data Set Collection file(*.ch4,only for thermo4)|*.CH4"));
    EXPECT_EQ(m_prompts.fileRequests().last().filters,
              FileFilter::parse("Data Sets Collection (*.CH4)|*.CH4"));
    EXPECT_EQ(loggerTable(), table);
    EXPECT_EQ(logger().dataSets, sets);
    EXPECT_EQ(widgets(*loggerWindow()).Graph1->points(), 3);
    EXPECT_EQ(fileBytes(tempFile()), fileBytes(path("two.ch4")));
    EXPECT_FALSE(logger().loggerUnsaved); // the data came from a file
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(CollectionCommandsTest, ASecondSaveReplacesTheFirstOnlyWhenTheQuestionIsConfirmed) {
    load({MakeSet(90, true, 3)});
    save(path("run.ch4"));
    const QByteArray first = fileBytes(path("run.ch4"));
    load({MakeSet(2, true, 40, 500)});
    const QByteArray second = fileBytes(tempFile());
    ASSERT_NE(first, second);

    // No: back to the dialog, which is cancelled. The first file stays; the data are still unsaved.
    m_prompts.queueAnswer(Answer::No);
    answerChoice(TfrmOpenSave::Choice::Collection);
    m_prompts.queueSaveFile(path("run.ch4"));
    m_prompts.queueSaveFile(QString());
    m_window->Save1Click();
    ASSERT_EQ(questions().size(), 1);
    EXPECT_TRUE(questions().first().contains(QStringLiteral("already exists")));
    EXPECT_EQ(fileBytes(path("run.ch4")), first);
    EXPECT_TRUE(logger().loggerUnsaved);

    m_prompts.queueAnswer(Answer::Yes);
    save(path("run.ch4"));
    EXPECT_EQ(questions().size(), 2);
    EXPECT_EQ(fileBytes(path("run.ch4")), second);
    EXPECT_FALSE(logger().loggerUnsaved);
}

TEST_F(CollectionCommandsTest, FilesThatDoNotDecodeChangeNothingAndSayNothing) {
    load({MakeSet(90, true, 3)});
    const QList<QStringList> table = loggerTable();
    const QByteArray temp = fileBytes(tempFile());
    sim::LoggerMemory none, tooMany;
    tooMany.setByte(8, 0x0F);
    tooMany.setByte(9, 0xA1); // 4001 data sets
    const auto bytesOf = [](const sim::LoggerMemory& m) {
        return QByteArray(reinterpret_cast<const char*>(m.bytes().data()), qsizetype(m.bytes().size()));
    };
    const std::pair<const char*, QByteArray> cases[] = {{"empty.ch4", ""},
                                                        {"none.ch4", bytesOf(none)},
                                                        {"many.ch4", bytesOf(tooMany)},
                                                        {"short.ch4", "\x01\x02"}};
    for (const auto& [name, bytes] : cases) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        openFile(path(name));
        EXPECT_EQ(loggerTable(), table) << name;
        EXPECT_EQ(fileBytes(tempFile()), temp) << name;
    }
    openFile(path("missing.ch4"));
    EXPECT_EQ(loggerTable(), table);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(CollectionCommandsTest, OpenCreatesOrRestoresTheLoggerWindowBeforeAsking) {
    openFile(QString()); // cancelled
    ASSERT_TRUE(loggerWindow());
    QPointer<TfrmGraph> graph = loggerWindow();
    EXPECT_EQ(graph->windowTitle(), QStringLiteral("DataLogger"));
    // Nothing loaded yet: saving writes nothing and says nothing.
    activate(graph);
    save(path("nothing.ch4"));
    EXPECT_FALSE(QFile::exists(path("nothing.ch4")));

    graph->subWindow()->showMinimized();
    openFile(QString());
    EXPECT_EQ(loggerWindow(), graph);
    EXPECT_FALSE(graph->subWindow()->isMinimized());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(CollectionCommandsTest, SaveGoesWhereTheWindowAndTheChoiceSay) {
    m_window->OpenRealTimeGraph();
    activate(realTimeWindow());
    m_prompts.queueSaveFile(QString());
    m_window->Save1Click(); // a graph window other than the DataLogger one: a graph file
    EXPECT_TRUE(m_choiceCaptions.isEmpty());
    load({MakeSet(90, true, 3)});
    answerChoice(TfrmOpenSave::Choice::Cancel);
    m_window->Save1Click();
    answerChoice(TfrmOpenSave::Choice::SingleFile);
    m_prompts.queueSaveFile(QString());
    m_window->Save1Click();
    ASSERT_EQ(m_prompts.fileRequests().size(), 2);
    for (const FileDialogRequest& request : m_prompts.fileRequests())
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("GHF"));
    EXPECT_TRUE(logger().loggerUnsaved);

    // Closing the window with unsaved data offers the collection.
    m_prompts.queueAnswer(Answer::Yes);
    answerChoice(TfrmOpenSave::Choice::Collection);
    m_prompts.queueSaveFile(path("kept.ch4"));
    EXPECT_TRUE(loggerWindow()->closeWindow());
    EXPECT_EQ(questions(), QStringList{"Save DataLogger Data ?"});
    EXPECT_EQ(fileBytes(path("kept.ch4")), fileBytes(tempFile()));
    EXPECT_FALSE(logger().loggerUnsaved);
}

} // namespace
} // namespace thermo4::ui::test
