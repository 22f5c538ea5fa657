#include "StringGrid.h"

#include "Guard.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace ui {
namespace {

// Reports every keystroke of a cell editor.
class LiveEditDelegate : public QStyledItemDelegate {
public:
    using Callback = std::function<void(const QModelIndex&, const QString&)>;
    LiveEditDelegate(QObject* parent, Callback callback)
        : QStyledItemDelegate(parent), callback_(std::move(callback)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const QPersistentModelIndex at(index);
            QObject::connect(line, &QLineEdit::textEdited, line,
                             [this, at](const QString& text) { callback_(at, text); });
        }
        return editor;
    }

private:
    Callback callback_;
};

constexpr Qt::ItemFlags kDataFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
constexpr Qt::ItemFlags kFixedFlags = Qt::ItemIsEnabled;

} // namespace

StringGrid::StringGrid(int colCount, int rowCount, QWidget* parent)
    : QTableWidget(std::max(rowCount - 1, 0), colCount, parent) {
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new LiveEditDelegate(this, [this](const QModelIndex& index, const QString& text) {
        EditorTextEdited(index, text);
    }));
    for (int col = 0; col < colCount; ++col)
        setHorizontalHeaderItem(col, new QTableWidgetItem);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnTopLeftChanged)
            RunGuarded(OnTopLeftChanged);
    });
}

void StringGrid::SetRowCount(int rows) {
    const QSignalBlocker blocker(this);
    setRowCount(std::max(rows - 1, 0));
}

QString StringGrid::Cell(int col, int row) const {
    if (row == 0) {
        const QTableWidgetItem* header = horizontalHeaderItem(col);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* cell = item(row - 1, col);
    return cell ? cell->text() : QString();
}

QTableWidgetItem* StringGrid::ItemAt(int col, int row) {
    if (row == 0)
        return horizontalHeaderItem(col);
    QTableWidgetItem* cell = item(row - 1, col);
    if (!cell) {
        cell = new QTableWidgetItem;
        if (col == 0) {
            cell->setFlags(kFixedFlags);
            cell->setBackground(palette().color(QPalette::Button));
        } else {
            cell->setFlags(kDataFlags);
        }
        const QSignalBlocker blocker(this);
        setItem(row - 1, col, cell);
    }
    return cell;
}

void StringGrid::SetCell(int col, int row, const QString& text) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= RowCount())
        return;
    const QSignalBlocker blocker(this);
    ItemAt(col, row)->setText(text);
}

void StringGrid::SetCellTextColor(int col, int row, const QColor& color) {
    if (col < 0 || row < 1 || col >= columnCount() || row >= RowCount())
        return;
    const QSignalBlocker blocker(this);
    ItemAt(col, row)->setForeground(color);
}

QColor StringGrid::CellTextColor(int col, int row) const {
    const QTableWidgetItem* cell = row >= 1 ? item(row - 1, col) : nullptr;
    if (!cell || cell->foreground().style() == Qt::NoBrush)
        return palette().color(QPalette::Text);
    return cell->foreground().color();
}

void StringGrid::SetCellEditable(int col, int row, bool editable) {
    if (col < 1 || row < 1 || col >= columnCount() || row >= RowCount())
        return;
    const QSignalBlocker blocker(this);
    QTableWidgetItem* cell = ItemAt(col, row);
    cell->setFlags(editable ? kDataFlags : kDataFlags & ~Qt::ItemIsEditable);
}

bool StringGrid::CellEditable(int col, int row) const {
    if (col < 1 || row < 1)
        return false;
    const QTableWidgetItem* cell = item(row - 1, col);
    return !cell || (cell->flags() & Qt::ItemIsEditable);
}

int StringGrid::Row() const {
    const int row = currentRow();
    return row < 0 ? 1 : row + 1;
}

int StringGrid::Col() const {
    const int col = currentColumn();
    return col < 1 ? 1 : col;
}

void StringGrid::SetRow(int row) {
    if (row < 1 || row >= RowCount())
        return;
    setCurrentCell(row - 1, Col());
}

int StringGrid::TopRow() const { return rowAt(0) + 1; }

void StringGrid::CloseEditor() {
    if (QWidget* editor = indexWidget(currentIndex()))
        commitData(editor);
    if (state() == QAbstractItemView::EditingState)
        QAbstractItemView::closeEditor(indexWidget(currentIndex()), QAbstractItemDelegate::NoHint);
    setFocus();
}

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (reverting_ || !current.isValid()) {
        QTableWidget::currentChanged(current, previous);
        return;
    }
    bool canSelect = current.column() != 0; // the fixed column is never selected
    if (OnSelectCell)
        RunGuarded([&] { OnSelectCell(current.column(), current.row() + 1, canSelect); });
    if (canSelect) {
        QTableWidget::currentChanged(current, previous);
        return;
    }
    reverting_ = true;
    const QModelIndex back =
        previous.isValid() && previous.column() != 0 ? previous : model()->index(current.row(), 1);
    if (back != current)
        setCurrentIndex(back);
    reverting_ = false;
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (OnKeyPress && text.size() == 1 && text.at(0).isPrint())
        RunGuarded([&] { OnKeyPress(text.at(0)); });
    QTableWidget::keyPressEvent(event);
}

void StringGrid::EditorTextEdited(const QModelIndex& index, const QString& text) {
    if (!index.isValid())
        return;
    {
        const QSignalBlocker blocker(this);
        ItemAt(index.column(), index.row() + 1)->setText(text);
    }
    if (OnSetEditText)
        RunGuarded([&] { OnSetEditText(index.column(), index.row() + 1, text); });
}

} // namespace ui
