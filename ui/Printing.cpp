#include "Printing.h"

#include "Guard.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>

namespace ui {
namespace {

PrintDialogResponder& Responder() {
    static PrintDialogResponder responder;
    return responder;
}

// Starts a print on the printer. The printer's paint engine outlives a print and keeps the
// transformation the last painter left it; a new painter that starts without one does not tell
// it so. Setting it here starts every print in the printer's own pixels, whatever came before.
void BeginPrint(QPainter& painter, QPrinter& printer) {
    if (!painter.begin(&printer)) throw Error("the printer could not be started");
    painter.resetTransform();
}

void EndPrint(QPainter& painter, QPrinter& printer) {
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw Error("the printer reported an error");
}

} // namespace

PrintDialog::PrintDialog() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintDialog::~PrintDialog() = default;

bool PrintDialog::Execute(QWidget* parent) {
    if (Responder()) return Responder()(*printer_);
    QPrintDialog dialog(printer_.get(), parent);
    return dialog.exec() == QDialog::Accepted;
}

void SetPrintDialogResponder(PrintDialogResponder responder) {
    Responder() = std::move(responder);
}

void PrintImageFitted(QPrinter& printer, const QImage& picture) {
    if (picture.isNull()) throw Error("there is no picture to print");
    QPainter painter;
    BeginPrint(painter, printer);
    // Every pixel of the picture, whatever screen it was taken on, into the largest rectangle of
    // its proportions that the page holds; the painter's transformation stays as it was.
    const QRect page = painter.viewport();
    QSize size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(page.topLeft(), size), picture, picture.rect());
    EndPrint(painter, printer);
}

void PrintPages(QPrinter& printer, const QString& jobName, const QString& family,
                const std::function<std::vector<PrintedPage>(const QFontMetrics& metrics,
                                                             int pageHeight)>& layout) {
    printer.setDocName(jobName);
    QPainter painter;
    BeginPrint(painter, printer);
    QFont font(family);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<PrintedPage> pages = layout(metrics, painter.viewport().height());
    for (size_t page = 0; page < pages.size(); ++page) {
        if (page > 0 && !printer.newPage()) throw Error("the printer could not start a new page");
        for (const PrintedText& text : pages[page])
            painter.drawText(text.x, text.y + metrics.ascent(), text.text);
    }
    EndPrint(painter, printer);
}

} // namespace ui
