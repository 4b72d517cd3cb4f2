#include "FilesFixture.h"

namespace thermo4::ui::test {
namespace {

class CollectionSaveTest : public FilesTest {
protected:
    void load(std::vector<sim::LoggedDataSet> sets) {
        setMemory(sets);
        download();
        ASSERT_TRUE(loggerWindow());
        activate(loggerWindow());
    }
    void save(const QString& file) {
        answerChoice(TfrmOpenSave::Choice::Collection);
        m_prompts.queueSaveFile(file);
        m_window->Save1Click();
    }
    QStringList questions() const { return m_prompts.texts(ScriptedPrompts::Kind::Question); }
};

TEST_F(CollectionSaveTest, AFailedSaveLeavesTheDataUnsavedSoClosingStillAsks) {
    load({MakeSet(90, true, 3)});
    ASSERT_TRUE(logger().loggerUnsaved);
    const QString nowhere = path("no/such/folder/run.ch4");
    save(nowhere);
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors().first().contains(QDir::toNativeSeparators(nowhere)));
    EXPECT_TRUE(logger().loggerUnsaved);

    // The disk fills up while an existing file is replaced: it stays as it was.
    const QString old = path("old.ch4");
    ASSERT_TRUE(writeFile(old, "old"));
    m_prompts.queueAnswer(Answer::Yes);
    withFileSizeLimit(64, [&] { save(old); });
    EXPECT_EQ(errors().size(), 2);
    EXPECT_EQ(readAll(old), "old");
    EXPECT_TRUE(logger().loggerUnsaved);

    // Closing asks; the save fails again, so the window stays and the next close asks again.
    QPointer<TfrmGraph> window = loggerWindow();
    m_prompts.queueAnswer(Answer::Yes);
    answerChoice(TfrmOpenSave::Choice::Collection);
    m_prompts.queueSaveFile(nowhere);
    EXPECT_FALSE(window->closeWindow());
    ASSERT_TRUE(window);
    EXPECT_TRUE(logger().loggerUnsaved);
    m_prompts.queueAnswer(Answer::No);
    EXPECT_TRUE(window->closeWindow());
    EXPECT_EQ(questions().filter(QStringLiteral("Save DataLogger Data ?")).size(), 2);
}

TEST_F(CollectionSaveTest, TheCollectionIsTheImageOnShowNotAStaleTemporaryFile) {
    load({MakeSet(90, true, 3), MakeSet(60, false, 5, 900)});
    const QByteArray shown = readAll(tempFile());
    ASSERT_FALSE(shown.isEmpty());
    // Another running instance (or a failed write) left other bytes in the temporary file.
    ASSERT_TRUE(writeFile(tempFile(), "stale"));
    save(path("a.ch4"));
    EXPECT_EQ(readAll(path("a.ch4")), shown);
    EXPECT_FALSE(logger().loggerUnsaved);

    ASSERT_TRUE(QFile::remove(tempFile()));
    logger().loggerUnsaved = true;
    save(path("b.ch4"));
    EXPECT_EQ(readAll(path("b.ch4")), shown);
    EXPECT_FALSE(logger().loggerUnsaved);
    EXPECT_TRUE(errors().isEmpty());
}

} // namespace
} // namespace thermo4::ui::test
