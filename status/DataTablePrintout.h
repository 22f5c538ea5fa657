// The data table printout: a title line with the file name, then one line per entry that has a
// value, in printer pixels.
#pragma once

#include "parameters/PrmPrintout.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QFontMetrics;
class QPrinter;

// Lays the table out: `header` is the value column's header (the loaded file's name or the
// product name), values[i] entry i's text; `lineHeight` is the height of "Hi 34", `labelWidth`
// the width of " #DTPT[100] ", `pageHeight` the printable height, all in printer pixels.
std::vector<PrintedPage> LayoutDataTablePrintout(const QString& header, const QStringList& values,
                                                 int lineHeight, int labelWidth, int pageHeight);

// Prints the table as the print job "KasoNT Data List" in the font family `family` at 10 points.
// Raises ui::Error when the printer fails.
void PrintDataTable(QPrinter& printer, const QString& family, const QString& header,
                    const QStringList& values);

// Where the n-th line of a page (from 1) stands: 1.1 line heights apart, below a margin of 75.
int PrintLineY(int lineHeight, int n);
