// The link tests' main: one application for the whole run, on the offscreen platform (the
// progress window is a window, though no window of any subsystem is made).
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Without a runtime folder Qt warns, makes one in the temporary folder and leaves it there
    // (also when the build lists the tests); the run has its own, removed at its end.
    const QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
