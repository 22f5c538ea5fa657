// What the data table and alarm history windows share around their grids: the dialogs behind
// their file and printer buttons, the "KASO2" mark of the line panel and the grid's size.
#pragma once

#include "ui/StringGrid.h"

#include <QByteArray>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QPrinter;

// The save dialog with `filter` and `extension`, then the whole file written from `contents`; a
// failure is shown with the file's name and its reason.
void SaveRecordsThroughDialog(QWidget* window, const QString& filter, const QString& extension,
                              const std::function<QByteArray()>& contents);

// The open dialog with `filter` and all files; `load` takes the file chosen.
void OpenRecordsThroughDialog(QWidget* window, const QString& filter,
                              const std::function<void(const QString& path)>& load);

// The whole file, or nothing after the warning that it was not found.
std::optional<QByteArray> ReadRecordFile(const QString& path);

// The print dialog, then `print`; a failure is shown as a print error.
void PrintRecordsThroughDialog(QWidget* window, const std::function<void(QPrinter&)>& print);

// "KASO" in bold `font` and a smaller "2" on its bottom line, side by side.
QHBoxLayout* MakeKasoMark(const QFont& font, QLabel* kaso, QLabel* two);

// The window resized and scaled to the screen; the grid's three columns get their shares of
// `gridWidth`, scaled alike.
void SizeRecordGrid(QWidget& window, int width, int height, ui::StringGrid& grid, int gridWidth,
                    const std::array<double, 3>& shares);
