#include "DataTableFile.h"

#include "ui/CarriedText.h"
#include "ui/Codec.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace {

// The longest serial number a section header carries; the rest of a longer line is not compared.
constexpr int kSerialLimit = 38;

bool IsLineEnd(char ch) {
    return ch == '\r' || ch == '\n';
}

bool IsBlankOnly(const QByteArray& text) {
    return std::all_of(text.begin(), text.end(), [](char ch) { return ch == ' ' || ch == '\t'; });
}

} // namespace

QString DataTableLabel(int index) {
    return QString(" #DTPT[%1]").arg(index);
}

std::optional<long long> LeadingDecimal(const QByteArray& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const qsizetype digitsStart = i;
    constexpr long long kLimit = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value > (kLimit - (text[i] - '0')) / 10 ? kLimit : value * 10 + (text[i] - '0');
    if (i == digitsStart) return std::nullopt;
    return negative ? -value : value;
}

ui::FileText FormatDataTableFile(const QStringList& values) {
    ui::FileText file;
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].isEmpty()) continue;
        const std::optional<QByteArray> value = ui::CarriedBytes(values[i], ui::Carrier::File);
        if (!value) return ui::FileText::Refusing(i, values[i], ui::Carrier::File);
        file.bytes += ui::cp932::Encode(DataTableLabel(i)) + '=' + *value + "\r\n";
    }
    return file;
}

// The stops are compared as a list of characters, so a NUL byte in the file is an ordinary
// character that no stop matches.
bool DataTableFileReader::SkipTo(std::string_view stops) {
    while (!AtEnd() && stops.find(bytes_[pos_]) == std::string_view::npos)
        ++pos_;
    return !AtEnd();
}

QByteArray DataTableFileReader::RestOfLine() {
    const qsizetype start = pos_;
    while (!AtEnd() && !IsLineEnd(bytes_[pos_]))
        ++pos_;
    const QByteArray text = bytes_.mid(start, pos_ - start);
    if (!AtEnd() && bytes_[pos_] == '\r') ++pos_;
    if (!AtEnd() && bytes_[pos_] == '\n') ++pos_;
    return text;
}

bool DataTableFileReader::StartsWithSection() {
    if (!SkipTo("#Ss")) return false;
    return bytes_[pos_] != '#';
}

bool DataTableFileReader::FindSection(const QString& serial) {
    const QByteArray wanted = ui::cp932::Encode(serial.toUpper());
    while (SkipTo("Ss")) {
        ++pos_;
        if (RestOfLine().left(kSerialLimit).toUpper() == wanted) return true;
    }
    return false;
}

DataTableFileReader::Result DataTableFileReader::ReadEntries(int entryCount) {
    Result result;
    long long previous = -1;
    // Reading begins at the first "#", wherever the file or the found section places the reader;
    // between entries an upper-case "S" opens the next section, which is not read.
    for (bool first = true; first ? SkipTo("#") : SkipTo("#S") && bytes_[pos_] == '#';
         first = false) {
        pos_ += 2; // the "#" and the character after it
        if (!SkipTo("[=")) break;
        QByteArray indexText;
        if (bytes_[pos_++] == '[') {
            const qsizetype start = pos_;
            if (!SkipTo("]")) break;
            indexText = bytes_.mid(start, pos_ - start);
        } else {
            indexText = RestOfLine(); // "#DTPT=n", its value on the next "*DTPT=" line
        }
        if (!SkipTo("=")) break;
        ++pos_;
        const QByteArray valueText = RestOfLine();

        const long long index = LeadingDecimal(indexText).value_or(previous + 1);
        if (index < 0 || index >= entryCount) break;
        previous = index;
        const int entry = static_cast<int>(index);
        if (IsBlankOnly(valueText)) {
            result.values.emplace_back(entry, QString());
            continue;
        }
        const std::optional<long long> value = LeadingDecimal(valueText);
        if (value && *value >= std::numeric_limits<int>::min() &&
            *value <= std::numeric_limits<int>::max()) {
            result.values.emplace_back(entry, QString::number(*value));
        } else {
            result.values.emplace_back(entry, QString());
            result.unreadable.append(DataTableLabel(entry) + '=' +
                                     ui::cp932::Decode(valueText.left(40)));
        }
    }
    return result;
}
