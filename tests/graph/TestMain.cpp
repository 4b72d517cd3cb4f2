#include "app/Resources.h"

#include <QApplication>

#include <gtest/gtest.h>

// The window tests need one application object for the whole run, offscreen even when
// the test list is discovered outside CTest.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    thermo4::ui::InitResources();
    return RUN_ALL_TESTS();
}
