// The one safe save: a failed save at any step keeps the file that was there and says why.
#include "ui/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(SafeFile, WritesAndReplacesKeepingPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.prm");
    EXPECT_EQ(ui::WriteWholeFile(path, QByteArray("one\r\n", 5)), "");
    EXPECT_EQ(Read(path), "one\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(ui::WriteWholeFile(path, QByteArray("two\0\xff", 5)), "");
    EXPECT_EQ(Read(path), QByteArray("two\0\xff", 5));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(Entries(dir.path()), QStringList{"a.prm"}); // no temporary file left
}

TEST(SafeFile, FailuresKeepTheOldFileAndNameTheReason) {
    QTemporaryDir dir;
    // A folder that does not exist.
    const QString error = ui::WriteWholeFile(dir.filePath("none/a.prm"), "x");
    EXPECT_TRUE(error.contains("No such file or directory")) << error.toStdString();

    // The target is a folder with something in it: the rename fails, the folder stays.
    QDir(dir.path()).mkpath("b.prm/inner");
    EXPECT_FALSE(ui::WriteWholeFile(dir.filePath("b.prm"), "x").isEmpty());
    EXPECT_TRUE(QDir(dir.filePath("b.prm/inner")).exists());

    // The disk fills up in the middle of the write.
    const QString path = dir.filePath("c.prm");
    Write(path, "old contents");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString full = ui::WriteWholeFile(path, QByteArray(5000, 'y'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(full.contains("cannot write")) << full.toStdString();
    EXPECT_EQ(Read(path), "old contents");
    QStringList left = Entries(dir.path());
    left.sort();
    EXPECT_EQ(left, (QStringList{"b.prm", "c.prm"}));
}

} // namespace
