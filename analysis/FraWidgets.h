// The small controls of the analysis window: number boxes that also report leaving, plot images
// with mouse handlers, colour legend shapes, a radio group, status panels and the value grids.
#pragma once

#include "ui/Canvas.h"
#include "ui/RadioGroup.h"
#include "ui/Widgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <functional>
#include <vector>

namespace fra {

// An edit box whose OnExit runs when it loses the focus.
class FraEdit : public ui::Edit {
    Q_OBJECT
public:
    explicit FraEdit(const QString& text, QWidget* parent);
    std::function<void()> OnExit;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

// A plot image with the mouse handlers of the class library's image control.
class PlotBox : public ui::PaintBox {
    Q_OBJECT
public:
    PlotBox(QSize size, QWidget* parent);
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A legend shape: a small rectangle filled with its brush colour, which the plots read.
class LegendShape : public QWidget {
    Q_OBJECT
public:
    LegendShape(const QColor& brush, QWidget* parent);
    QColor BrushColor;

protected:
    void paintEvent(QPaintEvent* event) override;
};

using RadioGroup = ui::RadioGroup;

// A sunken panel showing one line of text.
class Panel : public QLabel {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent);
};

// A grid of two columns and eight rows without a fixed row: labels, then values.
class ValueGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ValueGrid(QWidget* parent);
    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // The width the labels of column 0 need, in the grid's font.
    int LabelWidthNeeded() const { return sizeHintForColumn(0); }
};

} // namespace fra
