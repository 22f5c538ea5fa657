// The parameter list printout: a header line with the file name, then one line per parameter
// with a value, laid out like the parameter file's records, in printer pixels.
#pragma once

#include "ui/Printing.h"

#include <QString>
#include <QStringList>
#include <vector>

class QPrinter;

using ui::PrintedPage;
using ui::PrintedText;

// Lays the list out on pages: `lineHeight` is the height of "Hi 34", `nameWidth` the width of
// one name record, `pageHeight` the printable height, all in printer pixels.
std::vector<PrintedPage> LayoutPrmPrintout(const QString& header, const QStringList& names,
                                           const QStringList& values, int lineHeight, int nameWidth,
                                           int pageHeight);

// Prints the list on `printer` in the font family `family` at 10 points; `sampleName` is the
// record whose width sets the value column. Raises ui::Error when the printer fails.
void PrintPrmList(QPrinter& printer, const QString& family, const QString& sampleName,
                  const QString& header, const QStringList& names, const QStringList& values);
