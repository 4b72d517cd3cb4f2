#include "files/TfrmOpenSave.h"
#include "support/WindowTestAccess.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

TEST(TfrmOpenSave, TextsFollowTheModeAndTheDecimalSeparator) {
    const std::tuple<TfrmOpenSave::Mode, bool, const char*, const char*, const char*> cases[] = {
        {TfrmOpenSave::Mode::Save, true, "Save File",
         "Save all data sets to a data set collection file(*.ch4)",
         "Save single selected  data set to a  file"},
        {TfrmOpenSave::Mode::Open, false, "Open File", "Open a data set collection file(*.CH4)",
         "Open single data file(*.TXT,*.CSV,*.GHF)"},
        {TfrmOpenSave::Mode::Open, true, "Open File", "Open a data set collection file(*.CH4)",
         "Open single data flle(*.TXT,*.GHF)"}};
    for (const auto& [mode, comma, caption, sets, single] : cases) {
        const TfrmOpenSave dialog(mode, comma);
        EXPECT_EQ(dialog.windowTitle(), QLatin1String(caption));
        EXPECT_EQ(widgets(dialog).btnOpenSets->text(), QLatin1String(sets));
        EXPECT_EQ(widgets(dialog).btnOpenSingleSet->text(), QLatin1String(single));
    }
}

} // namespace
} // namespace thermo4::ui
