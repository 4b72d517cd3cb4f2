#include <QApplication>

#include <gtest/gtest.h>

// The widget tests need one application object for the whole run, offscreen even when
// the test list is discovered outside CTest.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
