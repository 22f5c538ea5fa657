#include "EditPrint.h"

#include "ui/EditorPane.h"
#include "ui/Guard.h"

#include <QPainter>
#include <QPrinter>

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
    printer.setDocName(caption);
    QPainter painter;
    if (!painter.begin(&printer)) throw ui::Error("the printer could not be started");
    QFont font(fontFamily);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int pageHeight = painter.device()->height();
    int page = 0;
    for (const PrintedText& item :
         LayOutPrintout(caption, gutterRows, lines, metrics.height(), pageHeight)) {
        if (item.page != page) {
            printer.newPage();
            page = item.page;
        }
        painter.drawText(item.x, item.y + metrics.ascent(), item.text);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw ui::Error("the printer reported an error");
}

} // namespace editor
