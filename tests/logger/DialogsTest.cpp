#include "files/TfrmOpenSave.h"
#include "logger/ScopeDownloadProgress.h"
#include "logger/TfrmScope.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

TEST(TfrmOpenSave, CaptionAndTextsFollowTheModeAndTheDecimalSeparator) {
    struct Case {
        TfrmOpenSave::Mode mode;
        bool decimalComma;
        const char* caption;
        const char* sets;
        const char* single;
    };
    const Case cases[] = {
        {TfrmOpenSave::Mode::Save, false, "Save File",
         "Save all data sets to a data set collection file(*.ch4)",
         "Save single selected  data set to a  file"},
        {TfrmOpenSave::Mode::Save, true, "Save File",
         "Save all data sets to a data set collection file(*.ch4)",
         "Save single selected  data set to a  file"},
        {TfrmOpenSave::Mode::Open, false, "Open File", "Open a data set collection file(*.CH4)",
         "Open single data file(*.TXT,*.CSV,*.GHF)"},
        {TfrmOpenSave::Mode::Open, true, "Open File", "Open a data set collection file(*.CH4)",
         "Open single data flle(*.TXT,*.GHF)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caption) + (c.decimalComma ? " comma" : " point"));
        const TfrmOpenSave dialog(c.mode, c.decimalComma);
        EXPECT_EQ(dialog.windowTitle(), QLatin1String(c.caption));
        EXPECT_EQ(dialog.btnOpenSets->text(), QLatin1String(c.sets));
        EXPECT_EQ(dialog.btnOpenSingleSet->text(), QLatin1String(c.single));
        EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Cancel"));
        EXPECT_TRUE(dialog.isModal());
    }
}

TEST(TfrmOpenSave, EachButtonEndsTheDialogWithItsChoice) {
    using Choice = TfrmOpenSave::Choice;
    const std::pair<QPushButton * TfrmOpenSave::*, Choice> cases[] = {
        {&TfrmOpenSave::btnOpenSets, Choice::Collection},
        {&TfrmOpenSave::btnOpenSingleSet, Choice::SingleFile},
        {&TfrmOpenSave::Button1, Choice::Cancel},
    };
    for (const auto& [button, expected] : cases) {
        TfrmOpenSave dialog(TfrmOpenSave::Mode::Open, false);
        bool clicked = false;
        QTimer::singleShot(0, &dialog, [&, button = button] {
            clicked = QApplication::activeModalWidget() == &dialog;
            (dialog.*button)->click();
        });
        EXPECT_EQ(dialog.choose(), expected);
        EXPECT_TRUE(clicked);
    }
    // Closed without a button: nothing is chosen.
    TfrmOpenSave dialog(TfrmOpenSave::Mode::Save, false);
    QTimer::singleShot(0, &dialog, [&] { dialog.reject(); });
    EXPECT_EQ(dialog.choose(), TfrmOpenSave::Choice::Cancel);
}

TEST(TfrmScope, EveryControlStartsHiddenAndCancelIsSeenByTheRunningLoop) {
    TfrmScope scope;
    for (QWidget* w : scope.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_TRUE(scope.windowFlags() & Qt::WindowStaysOnTopHint);

    scope.BitBtn2->show();
    scope.show();
    EXPECT_EQ(scope.modalResult(), TfrmScope::Result::None);
    scope.BitBtn2->click();
    EXPECT_EQ(scope.modalResult(), TfrmScope::Result::Cancel);
    EXPECT_TRUE(scope.isVisible()); // not modal: the loop closes it
    scope.resetResult();
    EXPECT_EQ(scope.modalResult(), TfrmScope::Result::None);
}

TEST(TfrmScope, DownloadProgressCountsBytesAndGoesAtTheEnd) {
    QWidget parent;
    ScopeDownloadProgress progress(&parent);
    EXPECT_EQ(progress.window(), nullptr);
    progress.started(4096);
    QPointer<TfrmScope> scope = progress.window();
    ASSERT_TRUE(scope);
    EXPECT_EQ(scope->windowTitle(), QStringLiteral("Data Retriving Progress"));
    EXPECT_TRUE(scope->isVisible());
    EXPECT_FALSE(scope->isModal());
    EXPECT_EQ(scope->lblTotalBytes->text(), QStringLiteral("4096"));
    EXPECT_EQ(scope->lblBytesReceived->text(), QStringLiteral("0"));
    EXPECT_EQ(scope->SText1->text(), QStringLiteral("bytes received"));
    EXPECT_EQ(scope->SText2->text(), QStringLiteral("total bytes"));
    EXPECT_TRUE(scope->Progress1->isVisible());
    EXPECT_FALSE(scope->BitBtn2->isVisible());

    progress.advanced(64);
    EXPECT_EQ(scope->lblBytesReceived->text(), QStringLiteral("64"));
    EXPECT_EQ(scope->Progress1->value(), 64);
    // The close box only hides it; the counting goes on.
    scope->close();
    EXPECT_TRUE(scope);
    progress.advanced(96);
    EXPECT_EQ(scope->Progress1->value(), 96);
    progress.finished();
    EXPECT_FALSE(scope);
    progress.advanced(128); // after the end: nothing to update, no crash
}

} // namespace
} // namespace thermo4::ui
