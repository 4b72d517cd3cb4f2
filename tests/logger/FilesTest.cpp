#include "files/CollectionFile.h"
#include "files/RegionalText.h"
#include "files/TfrmOpenSave.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(CollectionFile, ReadsWholeFilesOnlyAndCopiesOverAnOldFileOnlyWhenAllowed) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    Write(path("one.ch4"), "\x01\x02\x03");
    Write(path("empty.ch4"), "");
    QFile big(path("big.ch4"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxImageFileSize + 1));
    const std::tuple<const char*, ImageFileRead, std::size_t> reads[] = {
        {"one.ch4", ImageFileRead::Ok, 3},
        {"empty.ch4", ImageFileRead::Empty, 0},
        {"none.ch4", ImageFileRead::CannotOpen, 0},
        {".", ImageFileRead::CannotOpen, 0},
        {"big.ch4", ImageFileRead::TooLarge, 0}};
    for (const auto& [name, expected, size] : reads) {
        core::MemoryImage image(std::vector<std::uint8_t>(40, 0xEE));
        EXPECT_EQ(ReadImageFile(path(name), image), expected) << name;
        EXPECT_EQ(image.size(), size) << name;
    }

    Write(path("temp.tmp"), "new");
    const std::tuple<const char*, const char*, bool, CollectionCopy, const char*> copies[] = {
        {"temp.tmp", nullptr, false, CollectionCopy::Copied, "new"},
        {"temp.tmp", "old", false, CollectionCopy::TargetExists, "old"},
        {"temp.tmp", "old", true, CollectionCopy::Copied, "new"},
        {"none.tmp", "old", true, CollectionCopy::NoSource, "old"}};
    for (const auto& [source, existing, replace, expected, after] : copies) {
        QFile::remove(path("t.ch4"));
        if (existing)
            Write(path("t.ch4"), existing);
        EXPECT_EQ(CopyCollectionFile(path(source), path("t.ch4"), replace), expected) << existing << replace;
        EXPECT_EQ(Read(path("t.ch4")), QByteArray(after));
    }
    // A folder in the way: nothing is written and the reason is given.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dir.ch4")));
    QString error;
    EXPECT_EQ(CopyCollectionFile(path("temp.tmp"), path("dir.ch4"), true, &error), CollectionCopy::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteImageFile(path("dir.ch4"), core::MemoryImage({1, 2}), &error));
}

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(RegionalText, DatesTimesAndNumbersReadAsTheLocaleWritesThem) {
    const std::tuple<QLocale, const char*, QDate> dates[] = {
        {kUs, "3/9/17", QDate(2017, 3, 9)},
        {kUs, " 3/9/2017 ", QDate(2017, 3, 9)},
        {kUs, "12/31/90", QDate(1990, 12, 31)},
        {kUs, "2/30/17", QDate()},
        {kUs, "abc", QDate()},
        {kGerman, "09.03.17", QDate(2017, 3, 9)},
        {QLocale(QLocale::Japanese, QLocale::Japan), "2017/03/09", QDate(2017, 3, 9)},
        {QLocale::c(), "9 Mar 2017", QDate(2017, 3, 9)}};
    for (const auto& [locale, text, expected] : dates)
        EXPECT_EQ(ParseDate(QString::fromLatin1(text), locale).value_or(QDate()), expected) << text;

    const std::tuple<QLocale, const char*, QTime> times[] = {{QLocale::c(), "14:05:30", QTime(14, 5, 30)},
                                                             {QLocale::c(), "7:5", QTime(7, 5)},
                                                             {kGerman, "14:05:30,25", QTime(14, 5, 30, 250)},
                                                             {kUs, "2:05:30 PM", QTime(14, 5, 30)},
                                                             {kUs, "12:00:00 AM", QTime(0, 0)},
                                                             {kUs, "13:00:00 PM", QTime()},
                                                             {QLocale::c(), "25:00:00", QTime()},
                                                             {QLocale::c(), "10:60:00", QTime()},
                                                             {QLocale::c(), "", QTime()}};
    for (const auto& [locale, text, expected] : times)
        EXPECT_EQ(ParseTime(QString::fromLatin1(text), locale).value_or(QTime()), expected) << text;

    const std::tuple<QLocale, const char*, double> numbers[] = {{kUs, " -5.2 ", -5.2},
                                                                {kUs, "1,200.5", -1},
                                                                {kUs, "OL", -1},
                                                                {kGerman, "25,3", 25.3},
                                                                {kGerman, "25.3", -1}};
    for (const auto& [locale, text, expected] : numbers)
        EXPECT_DOUBLE_EQ(ParseNumber(QString::fromLatin1(text), locale).value_or(-1), expected) << text;

    // What the program writes, it reads back.
    const double days = 42803.58715277778; // 2017-03-09 14:05:30
    for (const QLocale& locale : {QLocale::c(), kUs, kGerman, QLocale(QLocale::Japanese, QLocale::Japan)}) {
        const auto back = ParseDateAndTime(DateText(days, locale), TimeText(days, locale), locale);
        EXPECT_NEAR(back.value_or(0), days, 1e-9) << locale.name().toStdString();
    }
}

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
        EXPECT_EQ(dialog.btnOpenSets->text(), QLatin1String(sets));
        EXPECT_EQ(dialog.btnOpenSingleSet->text(), QLatin1String(single));
    }
}

} // namespace
} // namespace thermo4::ui
