// The settings store: where the file lives and how odd stored values read.
#include "platform/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    QTemporaryDir dir;
};

TEST_F(SettingsTest, TheKeyBecomesAFileUnderTheConfigFolder) {
    EXPECT_EQ(platform::IniSettings::FilePathForKey(platform::kSettingsKey),
              dir.path() + "/Veltrane/KasoNT/2.3F Limited Edition.ini");
    platform::IniSettings settings(platform::kSettingsKey);
    settings.WriteInteger("Comm", "Baudrate", 9600);
    settings.WriteBool("Prm", "Guide", false);
    settings.Flush();
    const platform::IniSettings again(platform::kSettingsKey);
    EXPECT_EQ(again.ReadInteger("Comm", "Baudrate", 1200), 9600);
    EXPECT_FALSE(again.ReadBool("Prm", "Guide", true));
    EXPECT_EQ(again.ReadInteger("Comm", "Parity", 1), 1);
}

TEST_F(SettingsTest, ValuesThatAreNoNumbersReadAsTheDefault) {
    QDir().mkpath(dir.path() + "/Veltrane/KasoNT");
    QFile file(platform::IniSettings::FilePathForKey(platform::kSettingsKey));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Comm]\nBaudrate=fast\nParity= 2 \n[Prm]\nGuide=maybe\n");
    file.close();
    const platform::IniSettings settings(platform::kSettingsKey);
    EXPECT_EQ(settings.ReadInteger("Comm", "Baudrate", 1200), 1200);
    EXPECT_EQ(settings.ReadInteger("Comm", "Parity", 1), 2);
    EXPECT_TRUE(settings.ReadBool("Prm", "Guide", true));
}

TEST_F(SettingsTest, AnUnwritableFileIsReported) {
    QDir().mkpath(dir.path() + "/Veltrane/KasoNT/2.3F Limited Edition.ini"); // a folder in the way
    platform::IniSettings settings(platform::kSettingsKey);
    settings.WriteInteger("Comm", "Baudrate", 9600);
    EXPECT_THROW(settings.Flush(), std::runtime_error);
}

} // namespace
