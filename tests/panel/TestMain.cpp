#include "app/Resources.h"

#include <QApplication>

#include <gtest/gtest.h>

// The panel tests drive real widgets offscreen: one application object for the whole run.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests at build time runs this without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    thermo4::ui::InitResources();
    return RUN_ALL_TESTS();
}
