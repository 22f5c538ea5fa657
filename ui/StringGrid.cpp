#include "StringGrid.h"

#include "CarriedText.h"
#include "Guard.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace ui {
namespace {

// Reports every keystroke of a cell editor, refuses a paste that a cell cannot hold, naming the
// cell's row, and shows the control characters a cell holds.
class LiveEditDelegate : public QStyledItemDelegate {
public:
    using Callback = std::function<void(const QModelIndex&, const QString&)>;
    using Place = std::function<QString(const QModelIndex&)>;
    LiveEditDelegate(QObject* parent, Callback callback, Place place)
        : QStyledItemDelegate(parent), callback_(std::move(callback)), place_(std::move(place)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            const QPersistentModelIndex at(index);
            QObject::connect(line, &QLineEdit::textEdited, line,
                             [this, at](const QString& text) { callback_(at, text); });
            RefuseUncarriedPastes(line, [this, at] { return place_(at); });
        }
        return editor;
    }

    // A control character in a cell (a driver's reply holds it as it came) shows as its sign.
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        if (value.typeId() == QMetaType::QString) return ShowingControls(value.toString());
        return QStyledItemDelegate::displayText(value, locale);
    }

private:
    Callback callback_;
    Place place_;
};

// The grid's selection: a cell becomes current only when the grid accepts it, and then that cell
// alone is selected. What the view would select by itself (the cell under a click or a drag,
// a range with Shift, select-all) is ignored, so the highlight is always the current cell.
class CurrentCellSelection : public QItemSelectionModel {
public:
    using Accepts = std::function<bool(const QModelIndex&)>;
    CurrentCellSelection(QAbstractItemModel* model, QObject* parent, Accepts accepts)
        : QItemSelectionModel(model, parent), accepts_(std::move(accepts)) {}

    void setCurrentIndex(const QModelIndex& index, SelectionFlags) override {
        if (index.isValid() && index != currentIndex() && !accepts_(index)) return;
        const QScopedValueRollback following(followingCurrent_, true);
        QItemSelectionModel::setCurrentIndex(index, index.isValid() ? ClearAndSelect : Clear);
    }

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, SelectionFlags command) override {
        if (followingCurrent_) QItemSelectionModel::select(selection, command);
    }

private:
    Accepts accepts_;
    bool followingCurrent_ = false;
};

constexpr Qt::ItemFlags kDataFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
constexpr Qt::ItemFlags kFixedFlags = Qt::ItemIsEnabled;

} // namespace

StringGrid::StringGrid(int colCount, int rowCount, QWidget* parent)
    : QTableWidget(std::max(rowCount - 1, 0), colCount, parent), follow_(new QTimer(this)) {
    follow_->setSingleShot(true);
    follow_->setInterval(kFollowMs);
    connect(follow_, &QTimer::timeout, this, [this] {
        SelectFollowedRow();
        scrollTo(currentIndex());
    });
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setSectionsClickable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setItemDelegate(new LiveEditDelegate(
        this,
        [this](const QModelIndex& index, const QString& text) { EditorTextEdited(index, text); },
        [this](const QModelIndex& index) { return RowName(index.row() + 1); }));
    for (int col = 0; col < colCount; ++col)
        setHorizontalHeaderItem(col, new QTableWidgetItem);
    UseCurrentCellSelection();
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnTopLeftChanged) RunGuarded(OnTopLeftChanged);
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
    if (row == 0) return horizontalHeaderItem(col);
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
    if (col < 0 || row < 0 || col >= columnCount() || row >= RowCount()) return;
    const QSignalBlocker blocker(this);
    ItemAt(col, row)->setText(text);
}

void StringGrid::SetCellTextColor(int col, int row, const QColor& color) {
    if (col < 0 || row < 1 || col >= columnCount() || row >= RowCount()) return;
    const QSignalBlocker blocker(this);
    ItemAt(col, row)->setForeground(color);
}

QColor StringGrid::CellTextColor(int col, int row) const {
    const QTableWidgetItem* cell = row >= 1 ? item(row - 1, col) : nullptr;
    if (!cell || cell->foreground().style() == Qt::NoBrush) return palette().color(QPalette::Text);
    return cell->foreground().color();
}

void StringGrid::SetCellEditable(int col, int row, bool editable) {
    if (col < 1 || row < 1 || col >= columnCount() || row >= RowCount()) return;
    const QSignalBlocker blocker(this);
    QTableWidgetItem* cell = ItemAt(col, row);
    cell->setFlags(editable ? kDataFlags : kDataFlags & ~Qt::ItemIsEditable);
}

bool StringGrid::CellEditable(int col, int row) const {
    if (col < 1 || row < 1) return false;
    const QTableWidgetItem* cell = item(row - 1, col);
    return !cell || (cell->flags() & Qt::ItemIsEditable);
}

QString StringGrid::RowName(int row) const {
    if (rowName_) return rowName_(row);
    const QString name = Cell(0, row).trimmed().section(' ', 0, 0);
    return name.isEmpty() ? QString("%1行目").arg(row) : name;
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
    if (row < 1 || row >= RowCount()) return;
    setCurrentCell(row - 1, Col());
}

void StringGrid::FollowRow(int row) {
    followedRow_ = row;
    if (follow_->isActive()) return;
    SelectFollowedRow();
    follow_->start();
}

void StringGrid::StopFollowing() {
    follow_->stop();
    SelectFollowedRow();
    followedRow_ = 0;
}

// The selection moves without the view: the view catches up when the follow's time is over.
void StringGrid::SelectFollowedRow() {
    if (followedRow_ < 1 || followedRow_ == Row()) return;
    setAutoScroll(false);
    SetRow(followedRow_);
    setAutoScroll(true);
}

// At the end of its range the view aligns the last row with the bottom edge, and the row above
// the first whole one may show a sliver at the top: that sliver is not the top row.
int StringGrid::TopRow() const {
    const int row = rowAt(0);
    if (row >= 0 && rowViewportPosition(row) < 0 && row + 1 < rowCount()) return row + 2;
    return row + 1;
}

void StringGrid::CloseEditor() {
    if (QWidget* editor = indexWidget(currentIndex())) commitData(editor);
    if (state() == QAbstractItemView::EditingState)
        QAbstractItemView::closeEditor(indexWidget(currentIndex()), QAbstractItemDelegate::NoHint);
    setFocus();
}

// The fixed column is no cell the user can select: it is refused without asking the handler.
bool StringGrid::AcceptsCell(const QModelIndex& index) {
    if (index.column() == 0) return false;
    bool canSelect = true;
    if (OnSelectCell) RunGuarded([&] { OnSelectCell(index.column(), index.row() + 1, canSelect); });
    return canSelect;
}

// The table widget's own current-item and selection signals stay connected to the selection
// that replaces its default one.
void StringGrid::UseCurrentCellSelection() {
    QItemSelectionModel* replaced = selectionModel();
    auto* selection = new CurrentCellSelection(
        model(), this, [this](const QModelIndex& index) { return AcceptsCell(index); });
    setSelectionModel(selection);
    delete replaced;
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                emit currentItemChanged(itemFromIndex(current), itemFromIndex(previous));
                emit currentCellChanged(current.row(), current.column(), previous.row(),
                                        previous.column());
            });
    connect(selection, &QItemSelectionModel::selectionChanged, this,
            &QTableWidget::itemSelectionChanged);
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    return SelectableInRow(QTableWidget::moveCursor(action, modifiers));
}

// A key move (End, Home, an arrow) may aim at a column the grid refuses (the fixed column, a
// reference column); it then lands in the nearest accepted column toward the current one, or in
// the current column, whose check the move itself makes.
QModelIndex StringGrid::SelectableInRow(const QModelIndex& target) {
    if (!target.isValid()) return target;
    const int home = Col();
    const int step = target.column() < home ? 1 : -1;
    for (int col = target.column(); col != home; col += step) {
        const QModelIndex cell = model()->index(target.row(), col);
        if (AcceptsCell(cell)) return cell;
    }
    return model()->index(target.row(), home);
}

// Only the current cell is edited: a cell to be edited (by a double click, say) becomes current
// first, and one the grid refuses is not opened. A key typed while the current cell is scrolled
// away must not edit it out of sight: the cell comes into view.
bool StringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && index != currentIndex() && (editTriggers() & trigger)) {
        setCurrentIndex(index);
        if (currentIndex() != index) return false;
    }
    if (!QTableWidget::edit(index, trigger, event)) return false;
    scrollTo(index);
    updateEditorGeometries();
    return true;
}

// A typed character is about the current cell: the cell comes into view before the handler
// runs, so that what the handler tells the user (a refusal, say) is seen beside its cell.
void StringGrid::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (OnKeyPress && text.size() == 1 && text.at(0).isPrint()) {
        if (currentIndex().isValid()) scrollTo(currentIndex());
        RunGuarded([&] { OnKeyPress(text.at(0)); });
    }
    QTableWidget::keyPressEvent(event);
}

// The window's activation moves the focus in and out of the grid each time another window (the
// progress window of a transfer) comes and goes. The focus shows only on the current cell, the
// highlight being the same in an active window and an inactive one: that cell alone is redrawn,
// not the whole grid with its frame, header and scroll bar.
bool StringGrid::OnlyCurrentCellChanges(const QFocusEvent* event) const {
    return event->reason() == Qt::ActiveWindowFocusReason && currentIndex().isValid() &&
           SameWhenInactive();
}

bool StringGrid::SameWhenInactive() const {
    return palette().isEqual(QPalette::Active, QPalette::Inactive) &&
           horizontalHeader()->palette().isEqual(QPalette::Active, QPalette::Inactive);
}

// The item views redraw the cells and the header whenever their window is activated or
// deactivated, for the colours of an inactive window, which are the same here.
bool StringGrid::viewportEvent(QEvent* event) {
    const bool activation =
        event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate;
    if (activation && SameWhenInactive()) return QAbstractScrollArea::viewportEvent(event);
    return QTableWidget::viewportEvent(event);
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    const bool activation =
        event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate;
    if (watched == horizontalHeader()->viewport() && activation && SameWhenInactive())
        return true; // the header's viewport holds nothing else that the activation concerns
    return QTableWidget::eventFilter(watched, event);
}

void StringGrid::focusInEvent(QFocusEvent* event) {
    if (!OnlyCurrentCellChanges(event)) return QTableWidget::focusInEvent(event);
    setAttribute(Qt::WA_InputMethodEnabled, currentIndex().flags() & Qt::ItemIsEditable);
    viewport()->update(visualRect(currentIndex()));
}

void StringGrid::focusOutEvent(QFocusEvent* event) {
    if (!OnlyCurrentCellChanges(event)) return QTableWidget::focusOutEvent(event);
    viewport()->update(visualRect(currentIndex()));
}

void StringGrid::EditorTextEdited(const QModelIndex& index, const QString& text) {
    if (!index.isValid()) return;
    {
        const QSignalBlocker blocker(this);
        ItemAt(index.column(), index.row() + 1)->setText(text);
    }
    if (OnSetEditText) RunGuarded([&] { OnSetEditText(index.column(), index.row() + 1, text); });
}

} // namespace ui
