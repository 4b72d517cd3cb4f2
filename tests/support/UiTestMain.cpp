#include "ui/Resources.h"

#include <QApplication>

#include <gtest/gtest.h>

// The window tests need one application object for the whole run. Without a
// platform chosen (test discovery at build time, a run by hand) they run offscreen.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    thermo4::ui::InitResources();
    return RUN_ALL_TESTS();
}
