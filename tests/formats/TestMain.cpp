#include <QCoreApplication>

#include <gtest/gtest.h>

// The journal writer reports failures through its owner's event loop.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
