// Printing as the screens use it: the shared print dialog (the system's, or a test responder
// that sets the printer up, e.g. to a PDF file) and the printing of one picture fitted to a page.
#pragma once

#include <QImage>
#include <QPrinter>
#include <functional>
#include <memory>

class QWidget;

namespace ui {

class PrintDialog {
public:
    PrintDialog();
    ~PrintDialog();

    // Shows the system print dialog; false when the user cancelled it.
    bool Execute(QWidget* parent = nullptr);
    QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
};

// A responder plays the user of the print dialog: it may set the printer up and returns whether
// to print.
using PrintDialogResponder = std::function<bool(QPrinter& printer)>;
void SetPrintDialogResponder(PrintDialogResponder responder);

// Prints the picture on one page, as large as the page allows with its proportions kept.
// Raises ui::Error when the printer cannot print.
void PrintImageFitted(QPrinter& printer, const QImage& picture);

} // namespace ui
