#include "PrmFile.h"

#include "ui/CarriedText.h"
#include "ui/Codec.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace {

constexpr char kEndMark = '\xFF'; // counts as the end of the file wherever the reader looks
constexpr int kSectionHeaderLimit = 38;

bool IsLineEnd(char ch) {
    return ch == '\r' || ch == '\n';
}

// The signed decimal integer at the start of a record's text (leading blanks skipped).
struct LeadingNumber {
    bool present = false; // the text starts with digits (after blanks and a sign)
    bool fits = false;    // and they fit in 32 bits
    int value = 0;
};

LeadingNumber ReadLeadingNumber(const QByteArray& text) {
    LeadingNumber number;
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const qsizetype digitsStart = i;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long magnitude = 0;
    bool fits = true;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (fits) magnitude = magnitude * 10 + (text[i] - '0');
        fits = fits && magnitude <= kLimit;
    }
    number.present = i > digitsStart;
    const long long value = negative ? -magnitude : magnitude;
    number.fits = number.present && fits && value <= std::numeric_limits<int>::max();
    if (number.fits) number.value = static_cast<int>(value);
    return number;
}

// A record as the user is told of it.
QString WithoutControls(QString text) {
    text.removeIf([](QChar ch) { return ui::cp932::IsControl(ch.unicode()); });
    return text;
}

// The name record of a saved line: the grid's name cell when it carries this parameter's
// number and a file can hold it as it stands, else " #nnn " padded with blanks to the record's
// 27 bytes, so that every saved line loads back into its own row.
QByteArray SavedName(const QString& cell, int number) {
    static const QRegularExpression numbered(R"(^ *#(\d+))");
    const QRegularExpressionMatch match = numbered.match(cell);
    const std::optional<QByteArray> name = ui::CarriedBytes(cell, ui::Carrier::File);
    if (name && match.hasMatch() && match.captured(1).toInt() == number && !cell.contains('=') &&
        !name->contains(kEndMark))
        return *name;
    return ui::cp932::Encode(
        QString(" #%1 ").arg(number, 3, 10, QChar('0')).leftJustified(kPrmNameRecordBytes, ' '));
}

} // namespace

ui::FileText FormatPrmFile(const QStringList& names, const QStringList& values) {
    ui::FileText file;
    for (qsizetype row = 0; row < values.size(); ++row) {
        if (values[row].isEmpty()) continue;
        const int number = static_cast<int>(row);
        const std::optional<QByteArray> value = ui::CarriedBytes(values[row], ui::Carrier::File);
        if (!value) return ui::FileText::Refusing(number, values[row], ui::Carrier::File);
        if (value->contains(kEndMark))
            return {{}, ui::Uncarried{number, ui::cp932::Decode(QByteArray(1, kEndMark))}};
        file.bytes +=
            SavedName(row < names.size() ? names[row] : QString(), number) + '=' + *value + "\r\n";
    }
    return file;
}

bool IsBlankPrmFile(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char ch) { return ch == ' ' || ch == '\t' || IsLineEnd(ch); });
}

PrmFileReader::PrmFileReader(QByteArray bytes, int valueLimit)
    : bytes_(std::move(bytes)), valueLimit_(valueLimit) {}

bool PrmFileReader::AtEnd() const {
    return pos_ >= bytes_.size() || bytes_[pos_] == kEndMark;
}

bool PrmFileReader::StartsWithSection() {
    while (!AtEnd()) {
        const char ch = bytes_[pos_];
        if (ch == '#') return false;
        if (ch == 'S' || ch == 's') return true;
        ++pos_;
    }
    return false;
}

// The rest of the current line after the byte at pos_, its line end removed; pos_ moves past the
// line end.
QByteArray PrmFileReader::ReadLineRest() {
    QByteArray rest;
    ++pos_;
    while (!AtEnd() && !IsLineEnd(bytes_[pos_]))
        rest += bytes_[pos_++];
    while (!AtEnd() && IsLineEnd(bytes_[pos_]))
        ++pos_;
    return rest;
}

bool PrmFileReader::FindSection(const QString& serial) {
    const QByteArray wanted = ui::cp932::Encode(serial.toUpper());
    while (!AtEnd()) {
        const char ch = bytes_[pos_];
        if (ch != 'S' && ch != 's') {
            ++pos_;
            continue;
        }
        const QByteArray header = ReadLineRest().left(kSectionHeaderLimit).toUpper();
        if (header == wanted) return true;
    }
    return false;
}

// A record is a "#" followed on its line by "=": what the reader takes when nothing ends it.
void PrmFileReader::CountUnread(qsizetype from, Result& result) const {
    const auto lineOf = [this](qsizetype at) {
        const QByteArray before = bytes_.first(at);
        return static_cast<int>(before.count('\n') + (before.count('\r') - before.count("\r\n"))) +
               1;
    };
    qsizetype at = from;
    while ((at = bytes_.indexOf('#', at)) >= 0) {
        qsizetype end = at + 1;
        while (end < bytes_.size() && bytes_[end] != '=' && !IsLineEnd(bytes_[end]))
            ++end;
        if (end < bytes_.size() && bytes_[end] == '=') {
            if (result.unreadAfterEndMark++ == 0) {
                qsizetype lineEnd = end;
                while (lineEnd < bytes_.size() && !IsLineEnd(bytes_[lineEnd]))
                    ++lineEnd;
                result.firstUnread = WithoutControls(ui::cp932::DecodeForDisplay(
                    bytes_.mid(at, std::min<qsizetype>(lineEnd - at, 81))));
                result.firstUnreadLine = lineOf(at);
            }
        }
        at = end;
    }
}

PrmFileReader::Result PrmFileReader::ReadRecords(int count) {
    Result result;
    long long previousNumber = -1;
    bool beyondGrid = false; // a record numbered past the grid ends what is loaded
    // At an end mark, the records from `from` on are counted as not read.
    const auto endsAtMark = [&](qsizetype from) {
        if (pos_ < bytes_.size()) CountUnread(from, result);
    };
    for (;;) {
        while (!AtEnd() && bytes_[pos_] != '#')
            ++pos_;
        if (AtEnd()) {
            endsAtMark(pos_ + 1);
            break;
        }
        const qsizetype recordStart = pos_;
        const qsizetype nameStart = ++pos_;
        while (!AtEnd() && bytes_[pos_] != '=' && !IsLineEnd(bytes_[pos_]))
            ++pos_;
        if (AtEnd()) { // the mark cuts this record before its value: it is not read either
            endsAtMark(recordStart);
            break;
        }
        const QByteArray nameText = bytes_.mid(nameStart, pos_ - nameStart);
        if (IsLineEnd(bytes_[pos_])) { // a line without "=" is no record
            result.skipped.append(ui::cp932::Decode("#" + nameText.left(40)));
            continue;
        }
        const qsizetype valueStart = ++pos_;
        while (!AtEnd() && !IsLineEnd(bytes_[pos_]))
            ++pos_;
        const QByteArray valueText = bytes_.mid(valueStart, pos_ - valueStart);
        const QString record =
            WithoutControls(ui::cp932::Decode("#" + nameText.left(40) + "=" + valueText.left(40)));

        const LeadingNumber stated = ReadLeadingNumber(nameText);
        const long long number = stated.present ? stated.value : previousNumber + 1;
        if (stated.present && !stated.fits) {
            result.skipped.append(record);
        } else if (beyondGrid || number < 0 || number >= count) {
            beyondGrid = beyondGrid || number >= count;
            result.skipped.append(record);
        } else {
            previousNumber = number;
            const int row = static_cast<int>(number) + 1;
            const LeadingNumber value = ReadLeadingNumber(valueText);
            if (valueText.isEmpty()) {
                result.values.emplace_back(row, QString());
                ++result.taken;
            } else if (valueText.size() <= valueLimit_ && value.fits) {
                result.values.emplace_back(row, QString::number(value.value));
                ++result.taken;
            } else {
                result.values.emplace_back(row, QString());
                result.skipped.append(record);
            }
        }
        while (!AtEnd() && bytes_[pos_] != '#' && bytes_[pos_] != 'S')
            ++pos_;
        if (!AtEnd() && bytes_[pos_] == 'S') break;
        if (AtEnd()) {
            endsAtMark(pos_ + 1);
            break;
        }
    }
    return result;
}

QString EndMarkMessage(const PrmFileReader::Result& result) {
    if (result.unreadAfterEndMark == 0) return {};
    return QString(
               "ﾊﾞｲﾄ 0xFF をﾌｧｲﾙの終わりとして読み込みを終えたため、%1行目の %2 から後の %3 件の"
               "ﾚｺｰﾄﾞを読み込みませんでした。")
        .arg(QString::number(result.firstUnreadLine), result.firstUnread,
             QString::number(result.unreadAfterEndMark));
}
