#include "StringGrid.h"

#include <QHeaderView>
#include <QSignalBlocker>

namespace ui {

StringGrid::StringGrid(int colCount, int rowCount, QWidget* parent)
    : QTableWidget(rowCount, colCount, parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void StringGrid::SetRowCount(int rows) {
    const QSignalBlocker blocker(this);
    setRowCount(std::max(rows, 0));
}

QString StringGrid::Cell(int col, int row) const {
    const QTableWidgetItem* cell = item(row, col);
    return cell ? cell->text() : QString();
}

QTableWidgetItem* StringGrid::ItemAt(int col, int row) {
    QTableWidgetItem* cell = item(row, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        if (row == 0) // the header row
            cell->setFlags(Qt::ItemIsEnabled);
        setItem(row, col, cell);
    }
    return cell;
}

void StringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    const QSignalBlocker blocker(this);
    ItemAt(col, row)->setText(text);
}

int StringGrid::Row() const {
    const int row = currentRow();
    return row < 0 ? 1 : row;
}

void StringGrid::SetRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    setCurrentCell(row, std::max(currentColumn(), 0));
}

} // namespace ui
