#include "PrmPrintout.h"

#include "ui/Guard.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace {

constexpr int kLeft = 200;
constexpr int kTop = 75;

} // namespace

std::vector<PrintedPage> LayoutPrmPrintout(const QString& header, const QStringList& names,
                                           const QStringList& values, int lineHeight,
                                           int nameWidth, int pageHeight) {
    std::vector<PrintedPage> pages(1);
    pages.back().push_back({kLeft, 0, "ファイル名 : " + header});
    int lastY = 0;
    int line = 1;
    for (qsizetype row = 0; row < names.size() && row < values.size(); ++row) {
        if (values[row].isEmpty())
            continue;
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
    printer.setDocName("KasoNT Parameter List");
    QPainter painter;
    if (!painter.begin(&printer))
        throw ui::Error("the printer could not be started");
    QFont font(family);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = metrics.boundingRect("Hi 34").height();
    const int nameWidth = metrics.horizontalAdvance(sampleName);
    const int pageHeight = painter.viewport().height();
    const std::vector<PrintedPage> pages =
        LayoutPrmPrintout(header, names, values, lineHeight, nameWidth, pageHeight);
    for (size_t page = 0; page < pages.size(); ++page) {
        if (page > 0 && !printer.newPage())
            throw ui::Error("the printer could not start a new page");
        for (const PrintedText& text : pages[page])
            painter.drawText(text.x, text.y + metrics.ascent(), text.text);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw ui::Error("the printer reported an error");
}
