// Saving a whole file so that a failed save never destroys the file that was there, and the
// warning a reader gives for the records it could not take.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ui {

// Writes `bytes` to a temporary file beside `path` and puts it in the place of `path` only when
// it is complete. Gives the reason of a failure, or an empty text on success.
QString WriteWholeFile(const QString& path, const QByteArray& bytes);

// "読み込めなかったﾚｺｰﾄﾞがあります。" and at most ten of the records, then how many more.
QString UnreadableRecordsMessage(const QStringList& unreadable);

} // namespace ui
