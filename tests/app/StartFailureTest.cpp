#include "app/StartFailure.h"

#include "support/ScriptedPrompts.h"

#include <QFile>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

TEST(StartFailure, TheMessageGoesToTheStreamAndToABoxWhenThereIsOne) {
    const QString message = QStringLiteral("scenario bad.json: line 3: expected a number");
    for (const bool withBox : {true, false}) {
        QTemporaryFile stream;
        ASSERT_TRUE(stream.open());
        std::FILE* file = std::fopen(qPrintable(stream.fileName()), "w");
        ASSERT_NE(file, nullptr);
        ScriptedPrompts prompts;
        ReportStartFailure(message, file, withBox ? &prompts : nullptr);
        std::fclose(file);
        EXPECT_EQ(stream.readAll(), QByteArray("thermo4: ") + message.toUtf8() + "\n");
        EXPECT_EQ(prompts.texts(ScriptedPrompts::Kind::Error),
                  withBox ? QStringList{message} : QStringList{});
    }
}

TEST(StartFailure, BoxesOnlyWhereSomeoneSeesThem) {
    EXPECT_TRUE(PlatformShowsBoxes(QStringLiteral("xcb")));
    EXPECT_TRUE(PlatformShowsBoxes(QStringLiteral("wayland")));
    EXPECT_FALSE(PlatformShowsBoxes(QStringLiteral("offscreen")));
    EXPECT_FALSE(PlatformShowsBoxes(QStringLiteral("minimal")));
}

} // namespace
} // namespace thermo4::ui
