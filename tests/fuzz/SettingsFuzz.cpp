// The settings file: any bytes in the file; every value the program reads gives a number or its
// default.
#include "FuzzInput.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Removed when the run ends (libFuzzer ends with exit()).
    static const QTemporaryDir dir;
    static const bool pointed = qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    (void)pointed;
    const QString path = platform::IniSettings::FilePathForKey(platform::kSettingsKey);
    QDir().mkpath(QFileInfo(path).path());
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    platform::IniSettings settings(platform::kSettingsKey);
    for (const char* name : {"ModelType"})
        (void)settings.ReadInteger("Model", name, 3);
    for (const char* name : {"CommPort", "Baudrate", "Parity", "TransmitCheck"})
        (void)settings.ReadInteger("Comm", name, 1);
    for (int channel = 1; channel <= 4; ++channel)
        for (const char* series : {"QWB", "QWC"}) {
            (void)settings.ReadInteger("Logging", QString("Log%1Name_%2").arg(channel).arg(series),
                                       1);
            (void)settings.ReadInteger("Logging", QString("Log%1Scal_%2").arg(channel).arg(series),
                                       1);
        }
    (void)settings.ReadBool("Prm", "Guide", true);
    (void)settings.ReadString("Devices", "Comm1", "");
    return 0;
}
