#include "UploadTable.h"

#include "ui/CarriedText.h"
#include "ui/Codec.h"

#include <algorithm>
#include <map>

namespace editor {

namespace {

bool IsLineEnd(QChar ch) {
    return ch == '\r' || ch == '\n';
}

} // namespace

std::optional<QString> KeptReply(const QByteArray& reply) {
    const QString text = ui::ReceivedText(reply);
    if (std::any_of(text.begin(), text.end(), IsLineEnd)) return std::nullopt;
    return text;
}

QString UnkeptReplyMessage(const QByteArray& reply, int row) {
    const QString text = ui::ReceivedText(reply);
    const auto lineEnd = std::find_if(text.begin(), text.end(), IsLineEnd);
    return QString("ﾄﾞﾗｲﾊﾞの返信に行を分ける文字「%1」があるため、%2行目を文書に入れられません。\n"
                   "ｱｯﾌﾟﾛｰﾄﾞは%2行目の前で終えました。")
        .arg(ui::CharacterName(lineEnd != text.end() ? QString(*lineEnd) : QString()),
             QString::number(row));
}

QString Pad12(const QString& text) {
    const int width = ui::cp932::ByteWidth(text);
    return width >= kUploadCellWidth ? text : text + QString(kUploadCellWidth - width, ' ');
}

QString UploadRow(const QStringList& cells) {
    QString row;
    for (qsizetype i = 0; i < cells.size(); ++i)
        row += i + 1 < cells.size() ? Pad12(cells[i]) : cells[i];
    return row;
}

QString FirstSeriesChannelName(const QString& code) {
    static const std::map<QString, QString> names = {
        {"0060", "POSCOM"},  {"0064", "POSREF"}, {"0068", "POSACT"}, {"006C", "POSERR"},
        {"0070", "TRQINTG"}, {"0074", "REFINC"}, {"0076", "ENCINC"}, {"0078", "VELCOM"},
        {"007A", "VELREF"},  {"007C", "VELFF"},  {"007E", "VELACT"}, {"03C6", "VELACT ﾌｨﾙﾀ有"},
        {"0080", "VELERR"},  {"0082", "ACCREF"}, {"0084", "ACCFF"},  {"0086", "ACCACT"},
        {"0088", "ACCERR"},  {"008A", "THETA"},  {"008C", "TRQFF"},  {"008E", "TRQREF"},
        {"0090", "CURREF"}};
    const auto name = names.find(code);
    return name != names.end() ? name->second : QString("不明な変数");
}

QString FirstSeriesLoggingHeader(const QString& period, const QString& channelCode) {
    return UploadRow({"#$DFFA=" + period, FirstSeriesChannelName(channelCode)});
}

QString LoggingHeader(const QString& time, const QStringList& channelNames) {
    return UploadRow(QStringList{"LTIME=" + time} + channelNames);
}

} // namespace editor
