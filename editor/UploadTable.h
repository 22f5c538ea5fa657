// The table of uploaded driver data as the upload builds it: fixed-width cells of 12 characters
// (counted in CP932 bytes, as the saved file counts them), the logging header lines and the
// first series' logging channel names; and a reply as both uploads keep it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace editor {

inline constexpr int kUploadCellWidth = 12;

// A reply as an upload's document keeps it: every character it came with (a tab, an escape, a
// NUL, a byte that starts no CP932 character), only the LF at its head going, the end of a CR LF
// line before it; nothing when it holds a line end, which would split its row in two.
std::optional<QString> KeptReply(const QByteArray& reply);

// What the user is told of a reply that could not be kept: the row of the document it was for
// (from 1), before which the upload ended.
QString UnkeptReplyMessage(const QByteArray& reply, int row);

// The text left-justified in 12 CP932 bytes; a longer text stays whole.
QString Pad12(const QString& text);

// A row of cells: every cell but the last padded to 12, the last as it is.
QString UploadRow(const QStringList& cells);

// The first series' name of a logged variable from its code ("0068" is "POSACT"); "不明な変数"
// for a code the table does not hold.
QString FirstSeriesChannelName(const QString& code);

// The header line of a first-series logging upload: the logging period P ("#$DFFA" reply) and
// the channel code ("#&DFFE" reply).
QString FirstSeriesLoggingHeader(const QString& period, const QString& channelCode);

// The header line of a four-channel logging upload: the logging time T ("LTIME" reply) and the
// names of the k channels ("LOG1N" ... replies).
QString LoggingHeader(const QString& time, const QStringList& channelNames);

} // namespace editor
