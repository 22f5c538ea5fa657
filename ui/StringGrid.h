// A string grid in the manner of the class library: cells addressed (column, row); row 0 is the
// fixed header row (shown as the table's header, so it stays in view) and column 0 a fixed
// column that is never selected or edited. Setting a cell or the row count from code runs no
// handler; a write beyond the row count is ignored. The select-cell handler can veto and also
// runs when code moves the current cell; each keystroke in a cell editor reports the new text.
#pragma once

#include <QTableWidget>
#include <functional>

namespace ui {

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit StringGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    void SetCellTextColor(int col, int row, const QColor& color);
    QColor CellTextColor(int col, int row) const;
    // Whether the user may edit a cell of a data row (columns 1 and up are editable by default).
    void SetCellEditable(int col, int row, bool editable);
    bool CellEditable(int col, int row) const;

    // The current cell (row 1 when nothing is selected yet).
    int Row() const;
    int Col() const;
    // Moves the current row (keeping the column); runs OnSelectCell when the row changes.
    void SetRow(int row);
    int TopRow() const;

    // Ends cell editing, keeping what was typed.
    void CloseEditor();
    bool Editing() const { return state() == QAbstractItemView::EditingState; }

    // The cell (col, row) is about to become current; clearing canSelect refuses it.
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    // The text of the cell being edited has changed (already stored in the cell).
    std::function<void(int col, int row, const QString& text)> OnSetEditText;
    // A character key pressed on the grid (not inside an open cell editor).
    std::function<void(QChar key)> OnKeyPress;
    // The first visible data row has changed.
    std::function<void()> OnTopLeftChanged;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTableWidgetItem* ItemAt(int col, int row);
    void EditorTextEdited(const QModelIndex& index, const QString& text);
    bool reverting_ = false;
};

} // namespace ui
