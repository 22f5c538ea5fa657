// The test main of the window tests: one offscreen application for the whole run.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("KasoNT 2.3F");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
