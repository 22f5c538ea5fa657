// The test main of the window tests: one application for the whole run, made as the program makes
// it, on the offscreen platform unless KASONT_TEST_PLATFORM names another (such as xcb, on a
// display of the test's own).
#include "shell/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const QByteArray platform = qgetenv("KASONT_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    const std::unique_ptr<QApplication> app = MakeApplication(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
