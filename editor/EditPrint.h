// The printout of an editor document: a header with the document's name on the first page, then
// every line with its step number, in the printer's pixels.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;

namespace editor {

struct PrintedText {
    int page = 0; // from 0
    int x = 0;
    int y = 0; // top of the text
    QString text;
};

// Places the header and the lines; lineHeight is the height of one line of text in the printer's
// font, pageHeight the printable height. Lines are expanded to tab stops of 8 columns.
std::vector<PrintedText> LayOutPrintout(const QString& caption, const QStringList& gutterRows,
                                        const QStringList& lines, int lineHeight, int pageHeight);

// Prints the document on the printer in the given font family at 10 points; raises ui::Error
// when the printer cannot print.
void PrintDocument(QPrinter& printer, const QString& fontFamily, const QString& caption,
                   const QStringList& gutterRows, const QStringList& lines);

} // namespace editor
