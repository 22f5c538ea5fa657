#include "SafeFile.h"

#include "platform/SafeWrite.h"

#include <QFile>

namespace ui {

QString WriteWholeFile(const QString& path, const QByteArray& bytes) {
    std::string error;
    if (platform::WriteFileSafely(
            QFile::encodeName(path).toStdString(),
            std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error))
        return {};
    return QString::fromLocal8Bit(error);
}

QString UnreadableRecordsMessage(const QStringList& unreadable) {
    QStringList shown = unreadable.mid(0, 10);
    if (unreadable.size() > shown.size())
        shown.append(QString("ほか %1 件").arg(unreadable.size() - shown.size()));
    return "読み込めなかったﾚｺｰﾄﾞがあります。\n" + shown.join('\n');
}

} // namespace ui
