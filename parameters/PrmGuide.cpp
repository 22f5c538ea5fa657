// The guide lines of a grid row: the list window picks one variant of the row's text by the
// series and the model text; the lock window has one text per row.
#include "PrmGuide.h"

#include "PrmGuideData.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

constexpr int kListRows = 110;
constexpr int kLockRows = 200;

// The variant "index" that stands for the lines all variants share, taken when no series is
// chosen.
constexpr int kSharedLines = -1;

// The lock window's shared rows read as the list window's rows for a third-series driver of the
// newest models.
constexpr int kLockSeries = 2;
constexpr char kLockModel[] = "QWC50A_D0";

// The variant a rule picks, or kSharedLines when the series index matches none of its branches.
// The model text counts for the third and fourth series only.
int VariantIndex(PrmGuideRule rule, int seriesIndex, const QByteArray& versionText) {
    if (rule == PrmGuideRule::AllSeries) return 0;
    if (rule == PrmGuideRule::QwaExtraLine) return seriesIndex == 0 ? 0 : 1;
    if (seriesIndex < 0 || seriesIndex > 3) return kSharedLines;
    const bool qwa = seriesIndex == 0;
    const bool qwb = seriesIndex == 1;
    const bool later = seriesIndex >= 2;
    const bool qwc30 = later && versionText.contains("QWC30");
    const bool newest =
        later && (versionText.contains("QWC50A_C3") || versionText.contains("QWC50A_D0"));
    switch (rule) {
    case PrmGuideRule::QwaApart:
        return qwa ? 0 : 1;
    case PrmGuideRule::QwaQwbApart:
        return later ? 1 : 0;
    case PrmGuideRule::QwaQwbApartEach:
        return qwa ? 0 : qwb ? 1 : 2;
    case PrmGuideRule::Qwc30Apart:
        return later && !qwc30 ? 1 : 0;
    case PrmGuideRule::QwaQwc30Apart:
        return qwa ? 0 : qwb || qwc30 ? 1 : 2;
    case PrmGuideRule::NewestModelsApart:
        return newest ? 1 : 0;
    default: // the rules without a series test, taken above
        return 0;
    }
}

QStringList ToLines(PrmGuideText::const_iterator first, PrmGuideText::const_iterator last) {
    QStringList lines;
    for (auto line = first; line != last; ++line)
        lines << QString::fromUtf8(*line);
    return lines;
}

// Whether every variant has the same line at the place `lineOf` picks.
template <typename LineOf>
bool SameInAll(const std::vector<PrmGuideText>& variants, LineOf lineOf) {
    const std::string_view line = lineOf(variants.front());
    return std::all_of(variants.begin(), variants.end(), [&](const PrmGuideText& variant) {
        return std::string_view(lineOf(variant)) == line;
    });
}

// The lines that all variants share at their beginning, then those they share at their end;
// where the two runs would overlap, a line is taken once.
QStringList SharedLines(const std::vector<PrmGuideText>& variants) {
    size_t shortest = variants.front().size();
    for (const PrmGuideText& variant : variants)
        shortest = std::min(shortest, variant.size());
    size_t leading = 0;
    while (leading < shortest &&
           SameInAll(variants, [&](const PrmGuideText& v) { return v[leading]; }))
        ++leading;
    size_t trailing = 0;
    while (leading + trailing < shortest &&
           SameInAll(variants, [&](const PrmGuideText& v) { return v[v.size() - 1 - trailing]; }))
        ++trailing;
    const PrmGuideText& first = variants.front();
    return ToLines(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(leading)) +
           ToLines(first.end() - static_cast<std::ptrdiff_t>(trailing), first.end());
}

} // namespace

QStringList PrmGuideLines(int seriesIndex, const QByteArray& versionText, int row) {
    if (row < 1 || row > kListRows) return {};
    const PrmGuideEntry& entry = PrmGuideEntries().at(static_cast<size_t>(row - 1));
    const int variant = VariantIndex(entry.rule, seriesIndex, versionText);
    if (variant == kSharedLines) return SharedLines(entry.variants);
    const PrmGuideText& text = entry.variants.at(static_cast<size_t>(variant));
    return ToLines(text.begin(), text.end());
}

QStringList PrmLockGuideLines(int row) {
    if (row < 1 || row > kLockRows) return {};
    const PrmGuideText& text = PrmLockGuideEntries().at(static_cast<size_t>(row - 1));
    if (text.empty()) return PrmGuideLines(kLockSeries, kLockModel, row);
    return ToLines(text.begin(), text.end());
}
