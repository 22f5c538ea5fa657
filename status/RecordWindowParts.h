// What the data table and alarm history windows share around their grids: the dialogs behind
// their file and printer buttons, the "KASO2" mark of the line panel and the grid's size.
#pragma once

#include "ui/CarriedText.h"
#include "ui/StringGrid.h"

#include <QByteArray>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QPrinter;

// Saves what a formatter made of the cells as they stood: when it refused a text, the user is told
// (`placeOf` names the record) and no dialog is shown; else the save dialog with `filter` and
// `extension`, then `file` written whole. A failure is shown with the file's name and its reason.
void SaveRecordsThroughDialog(QWidget* window, const QString& filter, const QString& extension,
                              const ui::FileText& file,
                              const std::function<QString(int record)>& placeOf);

// The open dialog with `filter` and all files; `load` takes the file chosen.
void OpenRecordsThroughDialog(QWidget* window, const QString& filter,
                              const std::function<void(const QString& path)>& load);

// The whole file, or nothing after the warning that it was not found.
std::optional<QByteArray> ReadRecordFile(const QString& path);

// The print dialog, then `print`; a failure is shown as a print error.
void PrintRecordsThroughDialog(QWidget* window, const std::function<void(QPrinter&)>& print);

// "KASO" in bold `font` at (x, y) of its panel and a smaller "2" after it on its bottom line.
void PlaceKasoMark(const QFont& font, QLabel* kaso, QLabel* two, int x, int y);

// A panel of buttons at a place of the window, framed.
QFrame* RecordPanel(QFrame* panel, int x, int y, int w, int h);

// The window's design at 96 dpi completed and scaled to the screen: the grid at (1, 62) as wide
// as `gridWidth`, its three columns their shares of it; the window as wide as the grid and its
// margin, `height` high. Only the height can be changed; FitRecordGrid follows it.
void FinishRecordWindow(QWidget& window, int height, ui::StringGrid& grid, int gridWidth,
                        const std::array<double, 3>& shares);
// The grid down to 7 pixels (at 96 dpi) above the window's bottom.
void FitRecordGrid(QWidget& window, ui::StringGrid& grid);
