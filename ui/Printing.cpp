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
    QPainter painter;
    if (picture.isNull() || !painter.begin(&printer))
        throw Error("the printer could not be started");
    const QRect page = painter.viewport();
    QSize size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(picture.rect());
    painter.drawImage(0, 0, picture);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw Error("the printer reported an error");
}

void PrintPages(QPrinter& printer, const QString& jobName, const QString& family,
                const std::function<std::vector<PrintedPage>(const QFontMetrics& metrics,
                                                             int pageHeight)>& layout) {
    printer.setDocName(jobName);
    QPainter painter;
    if (!painter.begin(&printer)) throw Error("the printer could not be started");
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
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw Error("the printer reported an error");
}

} // namespace ui
