#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widget tests run headless unless a platform is asked for (test discovery sets no environment).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
