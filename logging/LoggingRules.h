// The rules of the logging set-up that do not depend on a window: reading the driver's numeric
// replies, the corrections of the drive constants, the sampling period lists and the item a
// driver's period selects, the start line, and the texts of the cursor readouts.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace logging {

// A reply that is a decimal integer within 32 bits (an optional sign, then digits only), else
// nothing.
std::optional<int> DecimalReply(const QByteArray& reply);
int DecimalReplyOr(const QByteArray& reply, int fallback);

// Products and quotients in the driver's 32-bit signed arithmetic: the result wraps to 32 bits
// (INT_MIN / -1 gives INT_MIN; a divisor of 0 gives 0).
std::int32_t Multiply32(std::int32_t a, std::int32_t b);
std::int32_t Divide32(std::int32_t a, std::int32_t b);

// The tens digit of the detect mode, truncating with the sign of the mode; 0 becomes 4.
int DetectMultiplierOf(int detectMode);

// The first series' factor K: 1200000000 / (resolution x multiplier x max speed), the product
// formed in 32-bit arithmetic; below 1 (also when the product is 0) it becomes 1.
int FirstSeriesKenc(int encoderResolution, int detectMultiplier, int maxSpeed);

// The text of the fastest period entry (one control cycle in ms) for a control frequency in
// kHz; nothing for a frequency outside the table.
std::optional<QString> FastestPeriodText(int khz);

// The start line "L\r" with blanks in front until it is longer than padLength.
QByteArray StartLine(int padLength);

// The second series' period list and the item a driver's period selects (-1: none).
QStringList SecondSeriesPeriods();
int SecondSeriesPeriodItem(int period);

// The third and fourth series' period lists (A to D). Items holds the 22 texts; an empty
// optional at item 0 means the item is left as it was.
enum class PeriodList { A, B, C, D };
struct PeriodListTexts {
    std::optional<QString> first;
    QStringList rest; // items 1..21
};
PeriodListTexts PeriodListItems(PeriodList list);
int PeriodListItem(PeriodList list, int period);

// Texts of the cursor readouts: "#0." (whole number, halves away from zero) and "#0.##" (at most
// two decimals, trailing zeros dropped).
QString FormatWhole(double value);
QString FormatUpToTwoDecimals(double value);

// The class library's conversion errors, shown by the default error report.
[[noreturn]] void RaiseNotAnInteger(const QString& text);
[[noreturn]] void RaiseNotANumber(const QString& text);

// The shortest decimal form of a span (62.5, 10000).
QString ShortestDecimal(double value);

} // namespace logging
