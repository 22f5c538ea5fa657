#include "FraWidgets.h"

#include "ui/Guard.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace fra {

FraEdit::FraEdit(const QString& text, QWidget* parent) : ui::Edit(parent) {
    setText(text);
}

void FraEdit::focusOutEvent(QFocusEvent* event) {
    ui::Edit::focusOutEvent(event);
    if (OnExit) ui::RunGuarded(OnExit);
}

PlotBox::PlotBox(QSize size, QWidget* parent) : ui::PaintBox(parent) {
    setFixedSize(size);
    GetCanvas().Resize(size);
    // The plots and their texts as sharp as the screen shows them, in the window and printed.
    SetSharp(true);
    setMouseTracking(true);
}

// The handlers get the place in the plot's own pixels.
void PlotBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        const QPoint at = event->position().toPoint() / Scale();
        ui::RunGuarded([&] { OnMouseMove(at.x(), at.y()); });
    }
}

void PlotBox::mouseReleaseEvent(QMouseEvent* event) {
    if (OnMouseUp) {
        const QPoint at = event->position().toPoint() / Scale();
        ui::RunGuarded([&] { OnMouseUp(event->button(), at.x(), at.y()); });
    }
}

LegendShape::LegendShape(const QColor& brush, QWidget* parent)
    : QWidget(parent), BrushColor(brush) {
    setFixedSize(20, 10);
}

void LegendShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), BrushColor);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

Panel::Panel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

ValueGrid::ValueGrid(QWidget* parent) : QTableWidget(8, 2, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setColumnWidth(0, 130);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows of 18 pixels and columns of the widths the window gives them, on every screen (the
    // style's least sizes follow the screen's font and would hold them larger).
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setMinimumSectionSize(0);
}

QString ValueGrid::Cell(int col, int row) const {
    const QTableWidgetItem* entry = item(row, col);
    return entry ? entry->text() : QString();
}

void ValueGrid::SetCell(int col, int row, const QString& text) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return;
    if (QTableWidgetItem* entry = item(row, col))
        entry->setText(text);
    else
        setItem(row, col, new QTableWidgetItem(text));
}

} // namespace fra
