// A string grid in the manner of the class library: cells addressed (column, row), a fixed
// header row drawn as a header, and a current row. Setting a cell or the row count from code
// runs no handler; a write beyond the row count is ignored.
#pragma once

#include <QTableWidget>

namespace ui {

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit StringGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount(); }
    void SetRowCount(int rows);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    // The current row (the first data row when nothing is selected yet).
    int Row() const;
    void SetRow(int row);

private:
    QTableWidgetItem* ItemAt(int col, int row);
};

} // namespace ui
