#include "UnitPrmLock.h"

#include "PrmGuide.h"
#include "UnitPrm.h"
#include "catalogue/PrmNameTables.h"
#include "shell/UnitSetup.h"
#include "shell/Waits.h"
#include "ui/Dialogs.h"
#include "ui/Widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

TfrmPrmLock* frmPrmLock = nullptr;

void ShowPrmLockGuide(int row) {
    frmPrmLock->RichEdit1->clear();
    for (const QString& line : PrmLockGuideLines(row))
        frmPrmLock->RichEdit1->append(line);
}

TfrmPrmLock::TfrmPrmLock(QWidget* owner)
    : TPrmWindow(owner, 201), clbPrm(new ui::CheckListBox(200, this)), Image1(new QLabel(this)) {
    const QStringList& names = PrmNames(PrmTable::Lock);
    for (int i = 0; i < names.size(); ++i)
        grdPrm->SetCell(0, i + 1, names[i]);
    grdPrm->SetCell(1, 0, kHeaderKaso2);
    clbPrm->setFocusPolicy(Qt::NoFocus);
    clbPrm->setFixedWidth(65);
    Image1->setFixedSize(17, 17);
    // The lock list stands beside the grid, item i beside row i + 1.
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    const int gridAt = layout->indexOf(grdPrm);
    layout->removeWidget(grdPrm);
    auto* side = new QVBoxLayout;
    side->addWidget(Image1);
    side->addWidget(clbPrm, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(side);
    lists->addWidget(grdPrm, 1);
    layout->insertLayout(gridAt, lists, 1);

    resize(448, 407);
    ScaleToDpi(*this);
    const int width = 424;
    grdPrm->setColumnWidth(0, static_cast<int>(width * 0.4));
    grdPrm->setColumnWidth(1, static_cast<int>(width * 0.28));
    grdPrm->setColumnWidth(2, static_cast<int>(width * 0.266));

    grdPrm->OnKeyPress = [this](QChar key) { grdPrmKeyPress(key); };
    grdPrm->OnTopLeftChanged = [this] { grdPrmTopLeftChanged(); };
    clbPrm->OnClick = [this] { clbPrmClick(); };
    clbPrm->OnClickCheck = [this] { clbPrmClickCheck(); };
}

void TfrmPrmLock::ShowGuide(int row) { ShowPrmLockGuide(row); }

bool TfrmPrmLock::NeverWritten(int number) const {
    const int series = SeriesIndex();
    if (series != 2 && series != 3)
        return true; // the first two series write nothing from this window
    return number == 59 || number == 61 || number == 63;
}

TPrmWindow* TfrmPrmLock::Twin() const { return frmPrm; }

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
    if (clbPrm->ItemIndex() < 0)
        clbPrm->SetItemIndex(0);
}

void TfrmPrmLock::grdPrmSelectCell(int col, int row, bool& canSelect) {
    clbPrm->SetItemIndex(row - 1);
    TPrmWindow::grdPrmSelectCell(col, row, canSelect);
}

void TfrmPrmLock::grdPrmKeyPress(QChar) {
    const int k = clbPrm->ItemIndex();
    if (k < 0 || !clbPrm->Checked(k))
        return;
    ui::ShowWarning("このパラメータはロックされていますので\n書き換えることはできません。", "警告");
    grdPrm->CloseEditor();
}

void TfrmPrmLock::grdPrmTopLeftChanged() { clbPrm->SetTopIndex(grdPrm->TopRow() - 1); }

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
