#include "EditPrint.h"

#include "ui/EditorPane.h"
#include "ui/Printing.h"

#include <QFontMetrics>

namespace editor {
namespace {

constexpr int kLeft = 200;
constexpr int kTopOffset = 75;

int LineTop(int lineHeight, int n) {
    return static_cast<int>(static_cast<double>(lineHeight * n) * 1.1 + kTopOffset);
}

} // namespace

std::vector<PrintedText> LayOutPrintout(const QString& caption, const QStringList& gutterRows,
                                        const QStringList& lines, int lineHeight, int pageHeight) {
    std::vector<PrintedText> printout;
    printout.push_back({0, kLeft, 0, "ファイル名 : " + caption});
    int page = 0;
    int lastTop = 0;
    int n = 1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lastTop + 2 * lineHeight > pageHeight) {
            ++page;
            n = 1;
        }
        const QString number = i < gutterRows.size() ? gutterRows[i] : QString(5, ' ');
        lastTop = LineTop(lineHeight, n);
        printout.push_back(
            {page, kLeft, lastTop, number + ' ' + ui::EditorPane::ExpandTabs(lines[i])});
        ++n;
    }
    return printout;
}

void PrintDocument(QPrinter& printer, const QString& fontFamily, const QString& caption,
                   const QStringList& gutterRows, const QStringList& lines) {
    ui::PrintPages(printer, caption, fontFamily, [&](const QFontMetrics& metrics, int pageHeight) {
        std::vector<ui::PrintedPage> pages;
        for (const PrintedText& item :
             LayOutPrintout(caption, gutterRows, lines, metrics.height(), pageHeight)) {
            if (pages.size() <= static_cast<size_t>(item.page)) pages.resize(item.page + 1);
            pages[item.page].push_back({item.x, item.y, item.text});
        }
        return pages;
    });
}

} // namespace editor
