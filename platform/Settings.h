// Settings in the manner of the class library's registry wrapper: sections and value names under
// one key, kept as an INI file under $XDG_CONFIG_HOME (~/.config when unset).
#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace platform {

// The program's one settings key.
inline const QString kSettingsKey = "SoftWare\\Veltrane\\KasoNT\\2.3F Limited Edition";

class IniSettings {
public:
    // `key` is the registry key path, e.g. "SoftWare\Veltrane\KasoNT\2.3F Limited Edition";
    // its first element names the registry root and is left out of the file's path.
    explicit IniSettings(const QString& key);
    ~IniSettings();

    static QString FilePathForKey(const QString& key);
    QString FilePath() const;

    // A missing value or one that is not a whole number gives the default.
    int ReadInteger(const QString& section, const QString& name, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& name, bool defaultValue) const;
    QString ReadString(const QString& section, const QString& name,
                       const QString& defaultValue) const;

    void WriteInteger(const QString& section, const QString& name, int value);
    void WriteBool(const QString& section, const QString& name, bool value);

    // Writes the file; raises std::runtime_error when it cannot be written.
    void Flush();

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace platform
