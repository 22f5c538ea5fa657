// A string grid in the manner of the class library: cells addressed (column, row); row 0 is the
// fixed header row (shown as the table's header, so it stays in view) and column 0 a fixed
// column that is never selected or edited. Setting a cell or the row count from code runs no
// handler; a write beyond the row count is ignored. The select-cell handler runs before a cell
// becomes current, whether the user or code moves it, and can veto: a refused cell is never
// current and never highlighted, for the highlight is always the current cell and nothing else.
// Typed keys edit the current cell, which comes into view as the edit starts. Each keystroke in
// a cell editor reports the new text; a paste into it that the line or a file cannot carry is
// refused (ui/CarriedText), and the edit goes on. A control character that a cell holds shows as
// its sign.
#pragma once

#include <QTableWidget>
#include <QTimer>
#include <functional>

namespace ui {

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit StringGrid(int colCount, int rowCount, QWidget* parent = nullptr);

    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    void SetCellTextColor(int col, int row, const QColor& color);
    QColor CellTextColor(int col, int row) const;
    // Whether the user may edit a cell of a data row (columns 1 and up are editable by default).
    void SetCellEditable(int col, int row, bool editable);
    bool CellEditable(int col, int row) const;

    // How messages name a data row: by default the first word of its fixed cell ("#DTPT[2]").
    QString RowName(int row) const;
    void SetRowNames(std::function<QString(int row)> name) { rowName_ = std::move(name); }

    // The current cell (row 1 when nothing is selected yet).
    int Row() const;
    int Col() const;
    // Moves the current row (keeping the column); runs OnSelectCell when the row changes.
    void SetRow(int row);
    // A transfer moves the row it is at with every step; the current row follows at once, and
    // then at most every kFollowMs with the latest row, the view catching up with it then, so
    // that a step repaints its own cell and not the rows, the header and the scroll bar each
    // time. StopFollowing stands the grid on the row the transfer reached.
    static constexpr int kFollowMs = 100;
    void FollowRow(int row);
    void StopFollowing();
    int TopRow() const;

    using QTableWidget::edit;

    // Ends cell editing, keeping what was typed.
    void CloseEditor();
    bool Editing() const { return state() == QAbstractItemView::EditingState; }

    // The cell (col, row) is about to become current; clearing canSelect refuses it. Not asked for
    // the fixed column, which is always refused.
    std::function<void(int col, int row, bool& canSelect)> OnSelectCell;
    // The text of the cell being edited has changed (already stored in the cell).
    std::function<void(int col, int row, const QString& text)> OnSetEditText;
    // A character key pressed on the grid (not inside an open cell editor).
    std::function<void(QChar key)> OnKeyPress;
    // The first visible data row has changed.
    std::function<void()> OnTopLeftChanged;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    QTableWidgetItem* ItemAt(int col, int row);
    void EditorTextEdited(const QModelIndex& index, const QString& text);
    void UseCurrentCellSelection();
    // Runs the select-cell check of a cell that is to become current: false when refused.
    bool AcceptsCell(const QModelIndex& index);
    // The cell of target's row that a key move lands on: target itself, or, when its column is
    // refused, the nearest column toward the current one that is not.
    QModelIndex SelectableInRow(const QModelIndex& target);
    std::function<QString(int row)> rowName_;
    void SelectFollowedRow();
    QTimer* follow_;      // runs while a shown row holds the next ones back
    int followedRow_ = 0; // the row a transfer is at (0: none)
    // Whether a change of focus is only the window's activation changing while the grid has its
    // current cell: then only that cell looks different.
    bool OnlyCurrentCellChanges(const QFocusEvent* event) const;
    // Whether the grid looks the same in an active window and an inactive one.
    bool SameWhenInactive() const;
};

} // namespace ui
