// Entry of the window tests: a QApplication on the offscreen platform, so that
// the tests need no display, then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Also set by CTest; repeated here for runs by hand and for test
    // discovery, which starts the program without CTest's environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
