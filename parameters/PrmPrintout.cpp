#include "PrmPrintout.h"

#include <QFontMetrics>

namespace {

constexpr int kLeft = 200;
constexpr int kTop = 75;

} // namespace

std::vector<PrintedPage> LayoutPrmPrintout(const QString& header, const QStringList& names,
                                           const QStringList& values, int lineHeight, int nameWidth,
                                           int pageHeight) {
    std::vector<PrintedPage> pages(1);
    pages.back().push_back({kLeft, 0, "ファイル名 : " + header});
    int lastY = 0;
    int line = 1;
    for (qsizetype row = 0; row < names.size() && row < values.size(); ++row) {
        if (values[row].isEmpty()) continue;
        if (lastY + 2 * lineHeight > pageHeight) {
            pages.emplace_back();
            line = 1;
        }
        const int y = static_cast<int>(lineHeight * line * 1.1 + kTop);
        pages.back().push_back({kLeft + nameWidth, y, "=" + values[row]});
        pages.back().push_back({kLeft, y, names[row]});
        lastY = y;
        ++line;
    }
    return pages;
}

void PrintPrmList(QPrinter& printer, const QString& family, const QString& sampleName,
                  const QString& header, const QStringList& names, const QStringList& values) {
    ui::PrintPages(
        printer, "KasoNT Parameter List", family, [&](const QFontMetrics& metrics, int pageHeight) {
            return LayoutPrmPrintout(header, names, values, metrics.boundingRect("Hi 34").height(),
                                     metrics.horizontalAdvance(sampleName), pageHeight);
        });
}
