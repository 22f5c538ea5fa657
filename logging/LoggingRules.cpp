#include "LoggingRules.h"

#include "ui/Guard.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace logging {
namespace {

// The ten steps above 10 that every period list carries, in this order.
constexpr std::array<int, 10> kLongPeriods = {20,   50,   100,  200,   500,
                                              1000, 2000, 5000, 10000, 20000};

QStringList NumberTexts(int from, int to) {
    QStringList texts;
    for (int v = from; v <= to; ++v)
        texts << QString::number(v);
    return texts;
}

QStringList LongPeriodTexts() {
    QStringList texts;
    for (int v : kLongPeriods)
        texts << QString::number(v);
    return texts;
}

int LongPeriodIndex(int period) {
    for (size_t i = 0; i < kLongPeriods.size(); ++i)
        if (kLongPeriods[i] == period) return static_cast<int>(i);
    return -1;
}

// Values 1..10 select items first..first+9, the long periods the ten items after them, other
// values above 10 the "10" item; `lowest` and below select nothing.
int ItemOf(int period, int itemOfOne, int lowest) {
    if (period < lowest) return -1;
    if (period <= 10) return period - 1 + itemOfOne;
    const int longIndex = LongPeriodIndex(period);
    if (longIndex >= 0) return itemOfOne + 10 + longIndex;
    return itemOfOne + 9;
}

} // namespace

std::optional<int> DecimalReply(const QByteArray& reply) {
    if (reply.isEmpty()) return std::nullopt;
    const char* begin = reply.constData();
    const char* end = begin + reply.size();
    if (*begin == '+') {
        ++begin;
        if (begin == end || *begin == '-') return std::nullopt;
    }
    int value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

int DecimalReplyOr(const QByteArray& reply, int fallback) {
    return DecimalReply(reply).value_or(fallback);
}

std::int32_t Multiply32(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

std::int32_t Divide32(std::int32_t a, std::int32_t b) {
    if (b == 0) return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(a) / b);
}

int DetectMultiplierOf(int detectMode) {
    const int digit = (detectMode / 10) % 10;
    return digit == 0 ? 4 : digit;
}

int FirstSeriesKenc(int encoderResolution, int detectMultiplier, int maxSpeed) {
    const std::int32_t product =
        Multiply32(Multiply32(encoderResolution, detectMultiplier), maxSpeed);
    if (product == 0) return 1;
    const std::int32_t k = Divide32(1200000000, product);
    return k < 1 ? 1 : k;
}

std::optional<QString> FastestPeriodText(int khz) {
    switch (khz) {
    case 1:
        return QString("1");
    case 2:
        return QString("0.5");
    case 4:
        return QString("0.25");
    case 8:
        return QString("0.125");
    case 10:
        return QString("0.1");
    case 12:
        return QString("0.0833");
    case 16:
        return QString("0.0625");
    case 20:
        return QString("0.05");
    case 32:
        return QString("0.03125");
    default:
        return std::nullopt;
    }
}

QByteArray StartLine(int padLength) {
    QByteArray line = "L\r";
    while (line.size() <= padLength)
        line.prepend(' ');
    return line;
}

QStringList SecondSeriesPeriods() {
    return NumberTexts(1, 10) + LongPeriodTexts();
}

int SecondSeriesPeriodItem(int period) {
    return ItemOf(period, 0, 1);
}

PeriodListTexts PeriodListItems(PeriodList list) {
    switch (list) {
    case PeriodList::A:
        return {std::nullopt, NumberTexts(2, 10) + LongPeriodTexts() + QStringList{"", ""}};
    case PeriodList::B:
        return {std::nullopt, NumberTexts(1, 10) + LongPeriodTexts() + QStringList{""}};
    case PeriodList::C:
        return {QString("1"), NumberTexts(2, 10) + LongPeriodTexts() + QStringList{"", ""}};
    case PeriodList::D:
        return {std::nullopt, QStringList{"0.25"} + NumberTexts(1, 10) + LongPeriodTexts()};
    }
    return {};
}

int PeriodListItem(PeriodList list, int period) {
    switch (list) {
    case PeriodList::A:
    case PeriodList::C:
        return ItemOf(period, 0, 1);
    case PeriodList::B:
        return period == 0 ? 0 : ItemOf(period, 1, 0);
    case PeriodList::D:
        if (period == -4) return 1;
        if (period >= -1 && period <= 10) return period + 1;
        return ItemOf(period, 2, 11);
    }
    return -1;
}

QString FormatWhole(double value) {
    const double rounded = std::round(value); // halves away from zero
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', 0);
}

QString FormatUpToTwoDecimals(double value) {
    QString text = QString::number(std::round(value * 100) / 100, 'f', 2);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.')) text.chop(1);
    return text == "-0" ? QString("0") : text;
}

void RaiseNotAnInteger(const QString& text) {
    throw ui::Error(QString("'%1' は整数として正しくありません").arg(text).toStdString());
}

void RaiseNotANumber(const QString& text) {
    throw ui::Error(QString("'%1' は浮動小数点数として正しくありません").arg(text).toStdString());
}

QString ShortestDecimal(double value) {
    return QString::number(value, 'g', 15);
}

} // namespace logging
