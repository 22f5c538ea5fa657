#include "PrmFile.h"

#include "ui/Codec.h"

#include <limits>

namespace {

constexpr char kEndMark = '\xFF'; // counts as the end of the file wherever the reader looks
constexpr int kSectionHeaderLimit = 38;

bool IsLineEnd(char ch) { return ch == '\r' || ch == '\n'; }

// The signed decimal integer at the start of `text` (leading blanks skipped); nothing when the
// text does not start with one or it does not fit in 32 bits.
std::optional<int> LeadingInteger(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const qsizetype digitsStart = i;
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
        ++i;
    }
    if (i == digitsStart)
        return std::nullopt;
    value = negative ? -value : value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

QByteArray FormatPrmFile(const QStringList& names, const QStringList& values) {
    QByteArray file;
    for (qsizetype row = 0; row < names.size() && row < values.size(); ++row) {
        if (values[row].isEmpty())
            continue;
        file += ui::cp932::Encode(names[row]) + '=' + ui::cp932::Encode(values[row]) + "\r\n";
    }
    return file;
}

PrmFileReader::PrmFileReader(QByteArray bytes, int valueLimit)
    : bytes_(std::move(bytes)), valueLimit_(valueLimit) {}

bool PrmFileReader::AtEnd() const { return pos_ >= bytes_.size() || bytes_[pos_] == kEndMark; }

bool PrmFileReader::StartsWithSection() {
    while (!AtEnd()) {
        const char ch = bytes_[pos_];
        if (ch == '#')
            return false;
        if (ch == 'S' || ch == 's')
            return true;
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
        if (header == wanted)
            return true;
    }
    return false;
}

PrmFileReader::Result PrmFileReader::ReadRecords(int count) {
    Result result;
    int previousNumber = -1;
    for (;;) {
        while (!AtEnd() && bytes_[pos_] != '#')
            ++pos_;
        if (AtEnd())
            break;
        const qsizetype nameStart = ++pos_;
        while (!AtEnd() && bytes_[pos_] != '=')
            ++pos_;
        if (AtEnd())
            break;
        const QByteArray nameText = bytes_.mid(nameStart, pos_ - nameStart);
        const qsizetype valueStart = ++pos_;
        while (!AtEnd() && !IsLineEnd(bytes_[pos_]))
            ++pos_;
        const QByteArray valueText = bytes_.mid(valueStart, pos_ - valueStart);
        const QString record = ui::cp932::Decode("#" + nameText.left(40) + "=" + valueText.left(40));

        const std::optional<int> stated = LeadingInteger(nameText);
        const int number = stated ? *stated : previousNumber + 1;
        previousNumber = number;
        if (nameText.size() > kPrmRecordNameLimit || valueText.size() > valueLimit_ || number < 0) {
            result.skipped.append(record);
        } else {
            if (number + 1 > count)
                break;
            if (valueText.isEmpty()) {
                result.values.emplace_back(number + 1, QString());
            } else if (const std::optional<int> value = LeadingInteger(valueText)) {
                result.values.emplace_back(number + 1, QString::number(*value));
            } else {
                result.values.emplace_back(number + 1, QString());
                result.skipped.append(record);
            }
        }
        while (!AtEnd() && bytes_[pos_] != '#' && bytes_[pos_] != 'S')
            ++pos_;
        if (!AtEnd() && bytes_[pos_] == 'S')
            break;
    }
    return result;
}
