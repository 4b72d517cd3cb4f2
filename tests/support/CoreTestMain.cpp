#include <QCoreApplication>

#include <gtest/gtest.h>

// Test executables below the windows that need an event loop (timers, queued signals)
// but no display.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
