#include "app/Resources.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need one application object for the whole run; offscreen also
// when the test list is discovered outside CTest.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    thermo4::ui::InitResources();
    return RUN_ALL_TESTS();
}
