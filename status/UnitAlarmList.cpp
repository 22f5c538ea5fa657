#include "UnitAlarmList.h"

#include "AlarmListPrintout.h"
#include "DataTableFile.h"
#include "RecordWindowParts.h"
#include "ui/SafeFile.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <QHeaderView>

TfrmAlarmList* frmAlarmList = nullptr;

namespace {

constexpr int kGridWidth = 300;

const QString kFilter = "ﾄﾞﾗｲﾊﾞｱﾗｰﾑ履歴(*.alm)|*.ALM";

QPushButton* Button(QWidget* parent, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setFixedSize(60, 22);
    return button;
}

} // namespace

TfrmAlarmList::TfrmAlarmList(QWidget* owner)
    : ui::Form(owner), grdAlarmList(new ui::StringGrid(3, kAlarmRecordCount + 1, this)),
      pnlWithComm(new QFrame(this)),
      btnReadAlarm(Button(pnlWithComm, " 読む ", "KASO2のｱﾗｰﾑ履歴を")),
      btnOpenForSnd(Button(pnlWithComm, " 開く ", "ｱﾗｰﾑ履歴ﾌｧｲﾙを")),
      btnSaveAlarm(Button(pnlWithComm, " 保存 ", "ﾌｧｲﾙにｱﾗｰﾑ履歴を")),
      btnSave(Button(pnlWithComm, " 印刷 ", "ﾌﾟﾘﾝﾀにｱﾗｰﾑ履歴を")),
      Label1(new QLabel("KASO", pnlWithComm)), Label3(new QLabel("2", pnlWithComm)),
      Timer1(new ui::Timer(1, this)), transfer_(this, grdAlarmList, Timer1, ridAlarmList) {
    setWindowTitle("ｱﾗｰﾑ履歴一覧");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    BuildPanels();
    FormCreate();
    JoinDriveScreens(this, DriveScreenKind::List);
    ui::Connect(btnReadAlarm, &QPushButton::clicked, this, [this] { btnReadAlarmClick(); });
    ui::Connect(btnOpenForSnd, &QPushButton::clicked, this, [this] { btnOpenAlarmListClick(); });
    ui::Connect(btnSaveAlarm, &QPushButton::clicked, this, [this] { btnSaveAlarmClick(); });
    ui::Connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveAlarmListClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    // Field 0 is the code, field 1 the time of occurrence.
    transfer_.OnStore = [this](int record, int field, const QByteArray& reply) {
        grdAlarmList->SetCell(field + 1, record + 1, ui::ReceivedText(reply));
    };
}

void TfrmAlarmList::BuildPanels() {
    QFont font(ui::kMonospaceFont);
    font.setPixelSize(12);
    setFont(font);
    grdAlarmList->setFont(font);
    grdAlarmList->verticalHeader()->setMinimumSectionSize(0); // rows of 16 pixels on every screen
    grdAlarmList->verticalHeader()->setDefaultSectionSize(16);
    grdAlarmList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdAlarmList->setEditTriggers(QAbstractItemView::NoEditTriggers);

    RecordPanel(pnlWithComm, 16, 6, 266, 46);
    int left = 5;
    for (QPushButton* button : {btnReadAlarm, btnOpenForSnd, btnSaveAlarm, btnSave}) {
        button->move(left, 4);
        left += 64;
    }
    PlaceKasoMark(font, Label1, Label3, 114, 29);
}

void TfrmAlarmList::FormCreate() {
    grdAlarmList->SetCell(0, 0, "  ｱﾗｰﾑﾎﾟｲﾝﾀ");
    grdAlarmList->SetCell(1, 0, kAlarmCodeHeader);
    grdAlarmList->SetCell(2, 0, kAlarmTimeHeader);
    for (int n = 0; n < kAlarmRecordCount; ++n)
        grdAlarmList->SetCell(0, n + 1, AlarmLabel(n));
    FinishRecordWindow(*this, 345, *grdAlarmList, kGridWidth, {0.28, 0.25, 0.39});
}

void TfrmAlarmList::resizeEvent(QResizeEvent* event) {
    ui::Form::resizeEvent(event);
    FitRecordGrid(*this, *grdAlarmList);
}

void TfrmAlarmList::FormActivate() {
    if (frmMain) setWindowTitle(frmMain->lblAxis->text() + "軸のｱﾗｰﾑ履歴一覧");
}

std::vector<AlarmRecordText> TfrmAlarmList::Records() const {
    std::vector<AlarmRecordText> records;
    for (int row = 1; row <= kAlarmRecordCount; ++row)
        records.push_back({grdAlarmList->Cell(1, row), grdAlarmList->Cell(2, row)});
    return records;
}

void TfrmAlarmList::btnReadAlarmClick() {
    if (!transfer_.Probe("ALHPT=0\r"))
        return ui::ShowWarning("Can not communication to driver.", "Error");
    StopStatusMonitor();
    ReceiveAlarmList(btnReadAlarm);
}

// The bar shows the record just completed, so it stands at 99 when the read ends.
void TfrmAlarmList::ReceiveAlarmList(QObject* sender) {
    if (sender == btnReadAlarm)
        return transfer_.StartRead({"ALHPT=", {"ALH", "ALTH"}, kAlarmRecordCount, false});
    transfer_.Receive(mdlGeneral->LastReply());
}

// The file holds what the cells held when the button was pressed: a code or a time it cannot
// carry as it stands refuses the save before a file is chosen, naming its record.
void TfrmAlarmList::btnSaveAlarmClick() {
    SaveRecordsThroughDialog(this, kFilter, "alm", FormatAlarmListFile(Records()),
                             [](int record) { return AlarmLabel(record).trimmed(); });
    grdAlarmList->setFocus();
}

void TfrmAlarmList::btnOpenAlarmListClick() {
    OpenRecordsThroughDialog(this, kFilter, [this](const QString& path) { LoadFile(path); });
    grdAlarmList->setFocus();
}

void TfrmAlarmList::LoadFile(const QString& path) {
    const std::optional<QByteArray> bytes = ReadRecordFile(path);
    if (!bytes) return;
    const AlarmListFileContents contents = ReadAlarmListFile(*bytes);
    // Records the file does not hold are emptied, so no record of an older history remains.
    for (int n = 0; n < kAlarmRecordCount; ++n) {
        const bool inFile = n < static_cast<int>(contents.records.size());
        grdAlarmList->SetCell(1, n + 1, inFile ? contents.records[n].code : QString());
        grdAlarmList->SetCell(2, n + 1, inFile ? contents.records[n].time : QString());
    }
    if (!contents.unreadable.isEmpty())
        ui::ShowWarning(ui::UnreadableRecordsMessage(contents.unreadable), "警告");
}

void TfrmAlarmList::btnSaveAlarmListClick() {
    PrintRecordsThroughDialog(this, [this](QPrinter& printer) {
        PrintAlarmList(printer, grdAlarmList->font().family(), Records());
    });
    grdAlarmList->setFocus();
}
