#include "UnitPrmLock.h"

#include "PrmGuide.h"
#include "UnitPrm.h"
#include "catalogue/PrmNameTables.h"
#include "shell/UnitSetup.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/Widgets.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

namespace {

// A yellow key outlined in black, above the lock list, `scale` times its designed size.
QPixmap LockKeyIcon(int scale) {
    QPixmap icon(scale * 16, scale * 16);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.scale(scale, scale);
    painter.setPen(Qt::black);
    painter.setBrush(QColor(255, 220, 0));
    painter.drawEllipse(1, 1, 7, 7);
    painter.drawRect(7, 4, 7, 2);
    painter.drawRect(11, 6, 2, 3);
    return icon;
}

} // namespace

TfrmPrmLock* frmPrmLock = nullptr;

void ShowPrmLockGuide(int row) {
    WriteGuide(frmPrmLock->RichEdit1, PrmLockGuideLines(row));
}

TfrmPrmLock::TfrmPrmLock(QWidget* owner)
    : TPrmWindow(owner, 201, ridPrmLock), clbPrm(new ui::CheckListBox(200, this)),
      Image1(new QLabel(this)) {
    const QStringList& names = PrmNames(PrmTable::Lock);
    for (int i = 0; i < names.size(); ++i)
        grdPrm->SetCell(0, i + 1, names[i]);
    grdPrm->SetCell(1, 0, kHeaderKaso2);
    SetUpGrid(kLockListWidth, 424, {0.4, 0.28, 0.266});
    ScaleToScreen();
    SetUpLockList(); // placed beside the grid's rows as they stand on the screen

    grdPrm->OnKeyPress = [this](QChar key) { grdPrmKeyPress(key); };
    grdPrm->OnTopLeftChanged = [this] { grdPrmTopLeftChanged(); };
    clbPrm->OnClick = [this] { clbPrmClick(); };
    clbPrm->OnClickCheck = [this] { clbPrmClickCheck(); };
}

// The lock list is not laid out on its own: it covers exactly the grid's rows, beside them, so
// that item i stands beside row i + 1 whatever the window's size, and scrolls with the grid.
void TfrmPrmLock::SetUpLockList() {
    const int scale = ui::DpiFactor(logicalDpiX());
    QFont listFont(ui::kProportionalFont);
    listFont.setPixelSize(scale * 17);
    clbPrm->setFont(listFont);
    clbPrm->setFocusPolicy(Qt::NoFocus);
    clbPrm->setFrameShape(QFrame::NoFrame);
    clbPrm->setSpacing(0);
    clbPrm->setUniformItemSizes(true);
    clbPrm->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    clbPrm->setAutoScroll(false); // it scrolls with the grid only, not to its selected item
    clbPrm->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    clbPrm->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int pitch = grdPrm->verticalHeader()->defaultSectionSize();
    for (int i = 0; i < clbPrm->count(); ++i)
        clbPrm->item(i)->setSizeHint(QSize(MarkColumnWidth(), pitch));
    Image1->setPixmap(LockKeyIcon(scale));
    Image1->setAlignment(Qt::AlignCenter);
    grdPrm->installEventFilter(this);
    grdPrm->viewport()->installEventFilter(this);
    // The list follows the grid; a wheel turned over the list moves the grid as well.
    connect(clbPrm->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { grdPrm->verticalScrollBar()->setValue(value); });
    AlignLockList();
}

void TfrmPrmLock::AlignLockList() {
    PlaceLockList();
    clbPrm->verticalScrollBar()->setValue(grdPrm->verticalScrollBar()->value());
}

// At the end of its range the grid shows its last row at the bottom edge and a sliver of a row
// above its top row; the list starts below that sliver, level with the top row.
void TfrmPrmLock::PlaceLockList() {
    const QRect rows = grdPrm->viewport()->geometry(); // within the grid
    const QPoint rowsTop = grdPrm->mapTo(this, rows.topLeft());
    const int sliver = std::max(grdPrm->rowViewportPosition(grdPrm->TopRow() - 1), 0);
    const int width = MarkColumnWidth();
    const int left = grdPrm->x() - width;
    clbPrm->setGeometry(left, rowsTop.y() + sliver, width, rows.height() - sliver);
    Image1->setGeometry(left, grdPrm->y(), width, rowsTop.y() - grdPrm->y());
}

bool TfrmPrmLock::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::LayoutRequest:
        AlignLockList();
        break;
    default:
        break;
    }
    return TPrmWindow::eventFilter(watched, event);
}

void TfrmPrmLock::ShowGuide(int row) {
    ShowPrmLockGuide(row);
}

bool TfrmPrmLock::NeverWritten(int number) const {
    const int series = SeriesIndex();
    if (series != 2 && series != 3)
        return true; // the first two series write nothing from this window
    return number == 59 || number == 61 || number == 63;
}

TPrmWindow* TfrmPrmLock::Twin() const {
    return frmPrm;
}

void TfrmPrmLock::RefreshMarks() {
    for (int k = 0; k < 200; ++k) {
        const bool locked = clbPrm->Checked(k);
        grdPrm->SetCellTextColor(1, k + 1, locked ? ui::clGray : QColor(Qt::black));
        grdPrm->SetCellEditable(1, k + 1, !locked);
    }
    TPrmWindow::RefreshMarks();
}

void TfrmPrmLock::FormActivate() {
    TPrmWindow::FormActivate();
    if (clbPrm->ItemIndex() < 0) clbPrm->SetItemIndex(0);
}

void TfrmPrmLock::grdPrmSelectCell(int col, int row, bool& canSelect) {
    clbPrm->SetItemIndex(row - 1);
    TPrmWindow::grdPrmSelectCell(col, row, canSelect);
    // A refused cell leaves the current cell where it was, and so the list: a typed key edits
    // the current cell, and its lock is the one to test.
    if (!canSelect) clbPrm->SetItemIndex(grdPrm->Row() - 1);
}

void TfrmPrmLock::grdPrmKeyPress(QChar) {
    const int k = clbPrm->ItemIndex();
    if (k < 0 || !clbPrm->Checked(k)) return;
    ui::ShowWarning("このパラメータはロックされていますので\n書き換えることはできません。", "警告");
    grdPrm->CloseEditor();
}

void TfrmPrmLock::grdPrmTopLeftChanged() {
    PlaceLockList();
    clbPrm->SetTopIndex(grdPrm->TopRow() - 1);
}

void TfrmPrmLock::clbPrmClick() {
    grdPrm->setFocus();
    grdPrm->SetRow(clbPrm->ItemIndex() + 1);
}

// The lock states come only from the driver: a user's toggle is taken back at once.
void TfrmPrmLock::clbPrmClickCheck() {
    const int k = clbPrm->ItemIndex();
    clbPrm->SetChecked(k, !clbPrm->Checked(k));
    grdPrm->setFocus();
}
