// Pieces both kinds of logging window share: the plot frame with its grid, the time stamp and
// the printout of the whole window with the variable boxes shown as plain edits.
#pragma once

#include "ui/Canvas.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>
#include <vector>

namespace logging {

// The layout helpers of the logging windows' controls.
template <typename Widget> Widget* Place(Widget* widget, int x, int y, int w, int h) {
    widget->setGeometry(x, y, w, h);
    return widget;
}
// A label sized to its text at (x, y).
QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y);
QGroupBox* MakeGroup(QWidget* parent, const QString& caption, int x, int y, int w, int h);
// The sunken frame around the plot; it lets the mouse through to the plot.
void MakeScreenBevel(QWidget* parent, int x, int y, int w, int h);

// White plot with an olive frame, centre lines and a small cross at each of the 81 inner
// division points.
void DrawPlotGrid(ui::Canvas& canvas, int left, int top, int width, int height);

// A full repaint of a logging plot: the grid, then the traces (drawData) when there are data and
// no run holds the redraw back. Without data the pen stays where it was.
void PaintLogPlot(ui::Canvas& canvas, int left, int top, int width, int height, bool dataValid,
                  bool suppressRedraw, const std::function<void()>& drawData);

// The current date and time in the system's short date and long time formats.
void ShowTimeStamp(QLabel* date, QLabel* time);

// The print dialog, then the window's picture with each box replaced by its edit, printed with
// the title "KasoNT LOG"; a failure shows "印刷エラーが発生しました。".
void PrintLoggingWindow(QWidget* window, const std::vector<QComboBox*>& boxes,
                        const std::vector<QLineEdit*>& dummies);

} // namespace logging
