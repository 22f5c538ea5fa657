#include "UnitDataTable.h"

#include "DataTableFile.h"
#include "RecordWindowParts.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Wait.h"
#include "ui/Widgets.h"

#include <QHeaderView>

#include <algorithm>

TfrmDataTable* frmDataTable = nullptr;

namespace {

constexpr int kLargeTable = 384;
constexpr int kGridWidth = 337;

QPushButton* Button(QWidget* parent, const QString& caption, const QString& hint, int height) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setFixedSize(48, height);
    return button;
}

} // namespace

TfrmDataTable::TfrmDataTable(QWidget* owner)
    : ui::Form(owner), grdDataTable(new ui::StringGrid(3, kLargeTable + 1, this)),
      pnlWithComm(new QFrame(this)),
      btnReadDataTable(Button(pnlWithComm, "読む", "ﾃﾞｰﾀﾃｰﾌﾞﾙを", 22)),
      btnSendDataTable(Button(pnlWithComm, "送る", "ﾃﾞｰﾀﾃｰﾌﾞﾙを", 22)),
      btnOpenForSndDataTable(Button(pnlWithComm, "開く", "ﾃﾞｰﾀﾃｰﾌﾞﾙのﾌｧｲﾙを", 22)),
      btnSaveDataTable(Button(pnlWithComm, "保存", "ﾌｧｲﾙにﾃﾞｰﾀﾃｰﾌﾞﾙを", 22)),
      btnSave(Button(pnlWithComm, "印刷", "ﾌﾟﾘﾝﾀにﾃﾞｰﾀﾃｰﾌﾞﾙを", 22)),
      Label1(new QLabel("KASO", pnlWithComm)), Label3(new QLabel("2", pnlWithComm)),
      pnlWithFile(new QFrame(this)), btnOpen(Button(pnlWithFile, "開く", "ﾃﾞｰﾀﾃｰﾌﾞﾙのﾌｧｲﾙを", 21)),
      Label2(new QLabel("参照", pnlWithFile)), Timer1(new ui::Timer(1, this)),
      transfer_(this, grdDataTable, Timer1, ridDataTable) {
    setWindowTitle("ﾃﾞｰﾀﾃｰﾌﾞﾙ一覧");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    BuildPanels();
    FormCreate();
    JoinDriveScreens(this, DriveScreenKind::List);
    ui::Connect(btnReadDataTable, &QPushButton::clicked, this, [this] { btnReadDataTableClick(); });
    ui::Connect(btnSendDataTable, &QPushButton::clicked, this, [this] { btnSendDataTableClick(); });
    ui::Connect(btnOpenForSndDataTable, &QPushButton::clicked, this,
                [this] { btnOpenDataTableClick(btnOpenForSndDataTable); });
    ui::Connect(btnOpen, &QPushButton::clicked, this, [this] { btnOpenDataTableClick(btnOpen); });
    ui::Connect(btnSaveDataTable, &QPushButton::clicked, this, [this] { btnSaveDataTableClick(); });
    ui::Connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    // The reference column is never selected, so it is never edited.
    grdDataTable->OnSelectCell = [](int col, int, bool& canSelect) {
        if (col == 2) canSelect = false;
    };
    grdDataTable->OnSetEditText = [this](int, int row, const QString&) { RefreshRowMark(row); };
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    transfer_.OnStore = [this](int entry, int, const QByteArray& reply) {
        grdDataTable->SetCell(1, entry + 1, ui::ReceivedText(reply));
        RefreshRowMark(entry + 1);
    };
    transfer_.OnMarkNotWritten = [this](int entry, bool notWritten) {
        grdDataTable->SetCellTextColor(1, entry + 1,
                                       notWritten ? QColor(255, 0, 0) : QColor(Qt::black));
    };
    // While the write runs, no read or second write may select entries between its selection
    // and its value.
    transfer_.OnWriting = [this](bool writing) {
        btnReadDataTable->setEnabled(!writing);
        btnSendDataTable->setEnabled(!writing);
    };
}

void TfrmDataTable::BuildPanels() {
    QFont font(ui::kProportionalFont);
    font.setPixelSize(12);
    setFont(font);
    QFont gridFont(ui::kMonospaceFont);
    gridFont.setPixelSize(12);
    grdDataTable->setFont(gridFont);
    grdDataTable->verticalHeader()->setMinimumSectionSize(0); // rows of 16 pixels on every screen
    grdDataTable->verticalHeader()->setDefaultSectionSize(16);
    grdDataTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    RecordPanel(pnlWithComm, 3, 6, 255, 46);
    int left = 5;
    for (QPushButton* button :
         {btnReadDataTable, btnSendDataTable, btnOpenForSndDataTable, btnSaveDataTable, btnSave}) {
        button->move(left, 4);
        left += 49;
    }
    PlaceKasoMark(font, Label1, Label3, 107, 29);
    RecordPanel(pnlWithFile, 266, 6, 70, 46);
    QFont bold = font;
    bold.setBold(true);
    Label2->setFont(bold);
    Label2->move(11, 4);
    Label2->adjustSize();
    btnOpen->move(11, 21);
}

void TfrmDataTable::FormCreate() {
    for (int i = 0; i < kLargeTable; ++i)
        grdDataTable->SetCell(0, i + 1, DataTableLabel(i));
    FinishRecordWindow(*this, 345, *grdDataTable, kGridWidth, {0.403, 0.29, 0.241});
}

void TfrmDataTable::resizeEvent(QResizeEvent* event) {
    ui::Form::resizeEvent(event);
    FitRecordGrid(*this, *grdDataTable);
}

void TfrmDataTable::SetGridRows(int rows) {
    grdDataTable->SetRowCount(rows);
    for (int row = 1; row < grdDataTable->RowCount(); ++row) {
        grdDataTable->SetCell(0, row, DataTableLabel(row - 1)); // rows added come without one
        grdDataTable->SetCellEditable(2, row, false);
    }
}

// The series set-up may have given the grid new rows while the window was hidden.
void TfrmDataTable::FormShow() {
    SetGridRows(grdDataTable->RowCount());
}

void TfrmDataTable::FormActivate() {
    if (frmMain) setWindowTitle(frmMain->lblAxis->text() + "軸のﾃﾞｰﾀﾃｰﾌﾞﾙ一覧");
}

// The rows on screen decide, not the series or a driver type digit that an earlier launch may
// have left: the launchers size the grid for the driver they found.
int TfrmDataTable::ComputeEntryCount() const {
    return std::clamp(grdDataTable->RowCount() - 1, 0, kLargeTable);
}

QStringList TfrmDataTable::Values(int count) const {
    QStringList values;
    for (int row = 1; row <= count; ++row)
        values.append(grdDataTable->Cell(1, row));
    return values;
}

void TfrmDataTable::RefreshRowMark(int row) {
    if (row < 1 || row >= grdDataTable->RowCount()) return;
    const QString value = grdDataTable->Cell(1, row);
    const QString reference = grdDataTable->Cell(2, row);
    const bool differs = !value.isEmpty() && !reference.isEmpty() && value != reference;
    grdDataTable->SetCellTextColor(2, row, differs ? QColor(255, 0, 0) : QColor(Qt::black));
}

void TfrmDataTable::RefreshMarks() {
    for (int row = 1; row < grdDataTable->RowCount(); ++row)
        RefreshRowMark(row);
}

void TfrmDataTable::btnReadDataTableClick() {
    const int losses = mdlGeneral->LineLosses();
    if (!transfer_.Probe("#DTPT=0\r")) return mdlGeneral->ReportNoDriver(losses);
    StopStatusMonitor();
    grdDataTable->SetCell(1, 0, SeriesIndex() == 0 ? kHeaderKaso : kHeaderKaso2);
    ReceiveDataTable(btnReadDataTable);
}

void TfrmDataTable::ReceiveDataTable(QObject* sender) {
    if (sender == btnReadDataTable)
        return transfer_.StartRead({"#DTPT=", {"*DTPT"}, ComputeEntryCount(), true});
    transfer_.Receive(mdlGeneral->LastReply());
}

void TfrmDataTable::btnSendDataTableClick() {
    grdDataTable->setFocus();
    // Every value goes out as it stands or none does; the first that cannot is named.
    const int count = ComputeEntryCount();
    for (int i = 0; i < count; ++i)
        if (!CheckLineText(grdDataTable->Cell(1, i + 1), DataTableLabel(i).trimmed())) return;
    const int losses = mdlGeneral->LineLosses();
    if (!transfer_.Probe("#DTPT=0\r")) return mdlGeneral->ReportNoDriver(losses);
    transfer_.Write(
        "#DTPT=", "*DTPT=", count,
        [this](int i) { return LineBytes(CleanLineField(grdDataTable->Cell(1, i + 1))); },
        [this](int i) {
            if (i % 2 == 0) grdDataTable->FollowRow(i + 1);
        });
}
