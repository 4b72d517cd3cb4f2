#include "support/ScriptedPrompts.h"
#include "ui/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace thermo4::ui {
namespace {

/// Runs act on the next message box once it runs modally; timer must outlive the box.
void AnswerNextBox(QTimer& timer, std::function<void(QMessageBox&)> act) {
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&timer, act = std::move(act)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer.stop();
        act(*box);
    });
    timer.start();
}

TEST(FileFilter, SplitsStoredFiltersIntoPairsKeepingTheirTextsAsTheyAre) {
    struct Case {
        QString stored;
        QList<FileFilter> expected;
    };
    const QString spaces(29, QLatin1Char(' '));
    const Case cases[] = {
        {QStringLiteral(
             "Graph file(*.ghf,only for thermo4)|*.GHF|TXT file(*.txt,data seperated by tab)|*.TXT"),
         {{QStringLiteral("Graph file(*.ghf,only for thermo4)"), QStringLiteral("*.GHF")},
          {QStringLiteral("TXT file(*.txt,data seperated by tab)"), QStringLiteral("*.TXT")}}},
        {QStringLiteral(" TXT file(*.txt,data seperated by tab) |*.TXT"),
         {{QStringLiteral(" TXT file(*.txt,data seperated by tab) "), QStringLiteral("*.TXT")}}},
        {QStringLiteral("TXT file(*.txt,data seperated by tab)|*.TXT") + spaces +
             QStringLiteral("|EXCEL file format(*.CSV,seperated by comma) |*.CSV"),
         {{QStringLiteral("TXT file(*.txt,data seperated by tab)"), QStringLiteral("*.TXT") + spaces},
          {QStringLiteral("EXCEL file format(*.CSV,seperated by comma) "), QStringLiteral("*.CSV")}}},
        {QStringLiteral("odd|*.A|dangling"), {{QStringLiteral("odd"), QStringLiteral("*.A")}}},
        {QString(), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileFilter::parse(c.stored), c.expected) << c.stored.toStdString();
}

TEST(QtPrompts, NameFiltersKeepTheDescriptionAndMatchBothCases) {
    const QString spaces(29, QLatin1Char(' '));
    const QStringList filters = QtPrompts::nameFilters(
        {{QStringLiteral("Graph file(*.ghf,only for thermo4)"), QStringLiteral("*.GHF")},
         {QStringLiteral("Text"), QStringLiteral("*.TXT") + spaces},
         {QStringLiteral("Several"), QStringLiteral("*.txt;*.CSV")}});
    EXPECT_EQ(filters, QStringList({QStringLiteral("Graph file(*.ghf,only for thermo4) (*.GHF *.ghf)"),
                                    QStringLiteral("Text (*.TXT *.txt)"),
                                    QStringLiteral("Several (*.txt *.CSV *.csv)")}));
}

TEST(QtPrompts, AFullPathTypedAfterAPrefilledNameIsThePathMeant) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("data"));
    const QString other = dir.filePath(QStringLiteral("other"));
    ASSERT_TRUE(QDir().mkpath(folder) && QDir().mkpath(folder + QStringLiteral("/sub")) &&
                QDir().mkpath(other));
    struct Case {
        QString chosen;
        QString meant;
    };
    const Case cases[] = {
        {folder + QStringLiteral("/data.TXT") + other + QStringLiteral("/run.TXT"),
         other + QStringLiteral("/run.TXT")},
        {folder + QStringLiteral("/run.TXT"), folder + QStringLiteral("/run.TXT")},
        {folder + QStringLiteral("/sub/run.TXT"), folder + QStringLiteral("/sub/run.TXT")},
        // No folder of what was typed exists: the name stays, and the save reports the folder.
        {folder + QStringLiteral("/no/such/run.TXT"), folder + QStringLiteral("/no/such/run.TXT")},
        {other + QStringLiteral("/x/run.TXT"), other + QStringLiteral("/x/run.TXT")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TypedFullPath(folder, c.chosen), c.meant) << c.chosen.toStdString();
}

TEST(QtPrompts, AMaskGivesTheExtensionOfItsType) {
    EXPECT_EQ(QtPrompts::maskSuffix(QStringLiteral("*.TXT") + QString(29, QLatin1Char(' '))),
              QStringLiteral("TXT"));
    EXPECT_EQ(QtPrompts::maskSuffix(QStringLiteral("*.csv;*.txt")), QStringLiteral("csv"));
    EXPECT_EQ(QtPrompts::maskSuffix(QStringLiteral("*")), QString());
    EXPECT_EQ(QtPrompts::maskSuffix(QStringLiteral("*.t?t")), QString());
}

TEST(ScriptedPrompts, AnswersInOrderAndRecordsWhatWasShown) {
    ScriptedPrompts prompts;
    prompts.queueAnswer(Answer::No);
    prompts.queueAnswer(Answer::Yes);
    prompts.queueSaveFile(QStringLiteral("/tmp/a.ghf"), 1);

    EXPECT_EQ(prompts.question(QStringLiteral("first ?")), Answer::No);
    prompts.information(QStringLiteral("note"));
    EXPECT_EQ(prompts.question(QStringLiteral("second ?")), Answer::Yes);
    FileDialogRequest request;
    request.caption = QStringLiteral("Save");
    const FileDialogResult saved = prompts.saveFile(request);
    EXPECT_EQ(saved.path, QStringLiteral("/tmp/a.ghf"));
    EXPECT_EQ(saved.filterIndex, 1);

    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Question),
              QStringList({QStringLiteral("first ?"), QStringLiteral("second ?")}));
    EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Information), QStringList{QStringLiteral("note")});
    ASSERT_EQ(prompts.fileRequests().size(), 1);
    EXPECT_EQ(prompts.fileRequests().first().caption, QStringLiteral("Save"));
    EXPECT_EQ(prompts.unanswered(), 0);
    EXPECT_EQ(prompts.pending(), 0);
}

TEST(ScriptedPrompts, UnscriptedPromptsChangeNothingAndAreCounted) {
    ScriptedPrompts prompts;
    EXPECT_EQ(prompts.question(QStringLiteral("q")), Answer::Cancel);
    EXPECT_EQ(prompts.question(QStringLiteral("q"), false), Answer::No);
    EXPECT_FALSE(prompts.openFile({}).accepted());
    EXPECT_FALSE(prompts.color(Qt::red).has_value());
    EXPECT_FALSE(prompts.font(QFont()).has_value());
    EXPECT_EQ(prompts.unanswered(), 5);

    // A Cancel queued for a two-button box arrives as No.
    prompts.queueAnswer(Answer::Cancel);
    EXPECT_EQ(prompts.question(QStringLiteral("q"), false), Answer::No);
    EXPECT_EQ(prompts.unanswered(), 5);
}

TEST(ScriptedPrompts, TheThirdAnswerReachesOnlyTheQuestionThatHasIt) {
    struct Case {
        Answer queued;
        Answer withThird;
        Answer withCancel;
        Answer twoButtons;
    };
    const Case cases[] = {
        {Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes},
        {Answer::No, Answer::No, Answer::No, Answer::No},
        {Answer::Cancel, Answer::No, Answer::Cancel, Answer::No},
        {Answer::Other, Answer::Other, Answer::Cancel, Answer::No},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        for (int i = 0; i < 3; ++i)
            prompts.queueAnswer(c.queued);
        EXPECT_EQ(prompts.questionWithThird(QStringLiteral("a"), QStringLiteral("Delete")), c.withThird);
        EXPECT_EQ(prompts.question(QStringLiteral("b")), c.withCancel);
        EXPECT_EQ(prompts.question(QStringLiteral("c"), false), c.twoButtons);
        EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Question),
                  QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    }
    ScriptedPrompts unscripted;
    EXPECT_EQ(unscripted.questionWithThird(QStringLiteral("a"), QStringLiteral("Delete")), Answer::No);
    EXPECT_EQ(unscripted.unanswered(), 1);
}

TEST(QtPrompts, TheThirdButtonAnswersOtherAndClosingTheBoxAnswersNo) {
    struct Case {
        const char* name;
        std::function<void(QMessageBox&)> act;
        Answer expected;
    };
    const auto click = [](const QString& text) {
        return [text](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons()) {
                if (button->text().remove(QLatin1Char('&')) == text)
                    button->click();
            }
        };
    };
    const Case cases[] = {
        {"third", click(QStringLiteral("Delete")), Answer::Other},
        {"yes", click(QStringLiteral("Yes")), Answer::Yes},
        {"no", click(QStringLiteral("No")), Answer::No},
        {"closed", [](QMessageBox& box) { box.reject(); }, Answer::No},
    };
    for (const Case& c : cases) {
        QString shown;
        QTimer answer;
        AnswerNextBox(answer, [&](QMessageBox& box) {
            shown = box.text();
            c.act(box);
        });
        QtPrompts prompts;
        EXPECT_EQ(prompts.questionWithThird(QStringLiteral("Open it?"), QStringLiteral("Delete")), c.expected)
            << c.name;
        EXPECT_EQ(shown, QStringLiteral("Open it?")) << c.name;
    }
}

TEST(QtPrompts, AConfirmationDefaultsToNoAndOnlyYesConfirms) {
    struct Case {
        const char* name;
        std::function<void(QMessageBox&)> act;
        bool expected;
    };
    const Case cases[] = {
        {"Enter", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, false},
        {"Escape", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, false},
        {"closed", [](QMessageBox& box) { box.close(); }, false},
        {"Yes", [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }, true},
    };
    for (const Case& c : cases) {
        QTimer answer;
        AnswerNextBox(answer, c.act);
        QtPrompts prompts;
        EXPECT_EQ(prompts.confirm(QStringLiteral("Erase?")), c.expected) << c.name;
    }
}

} // namespace
} // namespace thermo4::ui
