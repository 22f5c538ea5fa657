// Printing as the screens use it: the shared print dialog (the system's, or a test responder
// that sets the printer up, e.g. to a PDF file) and the printing of one picture fitted to a page.
#pragma once

#include <QImage>
#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QFontMetrics;

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

// A text placed on a printed page, in printer pixels; y is the top of the text.
struct PrintedText {
    int x;
    int y;
    QString text;
};
using PrintedPage = std::vector<PrintedText>;

// Starts the print job `jobName` with the font `family` at 10 points, lets `layout` lay the pages
// out with that font's metrics and the printable height, and prints them. Raises ui::Error when
// the printer fails.
void PrintPages(QPrinter& printer, const QString& jobName, const QString& family,
                const std::function<std::vector<PrintedPage>(const QFontMetrics& metrics,
                                                             int pageHeight)>& layout);

} // namespace ui
