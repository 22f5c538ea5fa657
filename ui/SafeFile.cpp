#include "SafeFile.h"

#include <QSaveFile>

namespace ui {

QString WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a write the disk cuts short is seen here and not lost in a flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return file.errorString(); // the temporary file is removed, the old one stays
        done += written;
    }
    return file.commit() ? QString() : file.errorString();
}

QString UnreadableRecordsMessage(const QStringList& unreadable) {
    QStringList shown = unreadable.mid(0, 10);
    if (unreadable.size() > shown.size())
        shown.append(QString("ほか %1 件").arg(unreadable.size() - shown.size()));
    return "読み込めなかったﾚｺｰﾄﾞがあります。\n" + shown.join('\n');
}

} // namespace ui
