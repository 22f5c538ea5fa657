#include "Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <stdexcept>

namespace platform {
namespace {

QString ConfigHome() {
    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    if (!xdg.isEmpty()) return QString::fromLocal8Bit(xdg);
    return QDir::homePath() + "/.config";
}

QString Key(const QString& section, const QString& name) {
    return section + '/' + name;
}

} // namespace

IniSettings::IniSettings(const QString& key)
    : settings_(std::make_unique<QSettings>(FilePathForKey(key), QSettings::IniFormat)) {}

IniSettings::~IniSettings() = default;

QString IniSettings::FilePathForKey(const QString& key) {
    QStringList parts = key.split('\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty()) parts.removeFirst();
    return ConfigHome() + '/' + parts.join('/') + ".ini";
}

QString IniSettings::FilePath() const {
    return settings_->fileName();
}

int IniSettings::ReadInteger(const QString& section, const QString& name, int defaultValue) const {
    bool ok = false;
    const int value = settings_->value(Key(section, name)).toString().trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool IniSettings::ReadBool(const QString& section, const QString& name, bool defaultValue) const {
    const QString text = settings_->value(Key(section, name)).toString().trimmed().toLower();
    if (text == "true") return true;
    if (text == "false") return false;
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value != 0 : defaultValue;
}

QString IniSettings::ReadString(const QString& section, const QString& name,
                                const QString& defaultValue) const {
    return settings_->value(Key(section, name), defaultValue).toString();
}

void IniSettings::WriteInteger(const QString& section, const QString& name, int value) {
    settings_->setValue(Key(section, name), value);
}

void IniSettings::WriteBool(const QString& section, const QString& name, bool value) {
    settings_->setValue(Key(section, name), value ? 1 : 0);
}

void IniSettings::Flush() {
    settings_->sync();
    if (settings_->status() == QSettings::AccessError)
        throw std::runtime_error(
            QString("設定ファイル %1 に書き込めませんでした。").arg(FilePath()).toStdString());
}

} // namespace platform
