#include "DataTablePrintout.h"

#include "DataTableFile.h"

#include <QFontMetrics>

namespace {

constexpr int kLeft = 200;
constexpr int kTop = 75;

} // namespace

int PrintLineY(int lineHeight, int n) {
    return static_cast<int>(lineHeight * n * 1.1 + kTop);
}

std::vector<PrintedPage> LayoutDataTablePrintout(const QString& header, const QStringList& values,
                                                 int lineHeight, int labelWidth, int pageHeight) {
    std::vector<PrintedPage> pages(1);
    pages.back().push_back({kLeft, 0, "ファイル名 : " + header});
    int lastY = 0;
    int line = 1;
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].isEmpty()) continue;
        if (lastY + 2 * lineHeight > pageHeight) {
            pages.emplace_back();
            line = 1;
        }
        lastY = PrintLineY(lineHeight, line++);
        pages.back().push_back({kLeft, lastY, DataTableLabel(i)});
        pages.back().push_back({kLeft + labelWidth, lastY, "=" + values[i]});
    }
    return pages;
}

void PrintDataTable(QPrinter& printer, const QString& family, const QString& header,
                    const QStringList& values) {
    ui::PrintPages(
        printer, "KasoNT Data List", family, [&](const QFontMetrics& metrics, int pageHeight) {
            return LayoutDataTablePrintout(header, values, metrics.height(),
                                           metrics.horizontalAdvance(" #DTPT[100] "), pageHeight);
        });
}
