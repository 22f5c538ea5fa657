// The test main of the window tests: one application for the whole run, made as the program makes
// it, on the offscreen platform unless KASONT_TEST_PLATFORM names another (such as xcb, on a
// display of the test's own).
#include "shell/Application.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Without a runtime folder Qt makes one in the temporary folder and leaves it there; the run
    // has its own, removed at its end (each test then points to one of its own).
    const QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QByteArray platform = qgetenv("KASONT_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform.isEmpty() ? QByteArray("offscreen") : platform);
    const std::unique_ptr<QApplication> app = MakeApplication(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
