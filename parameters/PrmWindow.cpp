#include "PrmWindow.h"

#include "PrmFile.h"
#include "PrmPrintout.h"

#include "link/UnitCommCancel.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/DpiScaling.h"
#include "ui/FileDialogs.h"
#include "ui/Guard.h"
#include "ui/SafeFile.h"
#include "ui/Wait.h"
#include "ui/Widgets.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

QPushButton* Button(QWidget* parent, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setFixedSize(48, 22);
    return button;
}

} // namespace

void WriteGuide(QTextEdit* pane, const QStringList& lines) {
    pane->setPlainText(lines.join('\n'));
    pane->moveCursor(QTextCursor::Start);
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->minimum());
}

QByteArray PrmValueForLine(const QString& cellText) {
    QByteArray value = LineBytes(cellText);
    value.removeIf([](char ch) { return ui::cp932::IsControl(ch); });
    return value;
}

TPrmWindow::TPrmWindow(QWidget* owner, int rowCount, TRequestId readId)
    : ui::Form(owner), grdPrm(new ui::StringGrid(3, rowCount, this)),
      btnReadPrm(Button(this, "読む", "ﾊﾟﾗﾒｰﾀを")), btnSendPrm(Button(this, "送る", "ﾊﾟﾗﾒｰﾀを")),
      btnOpenForSndPrm(Button(this, "開く", "ﾊﾟﾗﾒｰﾀのﾌｧｲﾙを")),
      btnSavePrm(Button(this, "保存", "ﾌｧｲﾙにﾊﾟﾗﾒｰﾀを")),
      btnSave(Button(this, "印刷", "ﾌﾟﾘﾝﾀにﾊﾟﾗﾒｰﾀを")), Label1(new QLabel("KASO", this)),
      Label3(new QLabel("2", this)), Label2(new QLabel("参照", this)),
      btnOpen(Button(this, "開く", "ﾊﾟﾗﾒｰﾀのﾌｧｲﾙを")), Label4(new QLabel("ﾊﾟﾗﾒｰﾀｶﾞｲﾄﾞ", this)),
      PrmGuide_Checkbox(new ui::CheckBox("表示", this)), RichEdit1(new QTextEdit(this)),
      Timer1(new ui::Timer(1, this)), Timer2(new ui::Timer(250, this)), exchange_(this, readId) {
    setWindowTitle("ﾊﾟﾗﾒｰﾀ一覧");
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QFont windowFont(ui::kProportionalFont);
    windowFont.setPixelSize(12);
    setFont(windowFont);
    RichEdit1->setReadOnly(true);
    RichEdit1->setFixedHeight(70);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    grdPrm->SetCell(0, 0, kNameHeader);
    BuildPanels();
    ui::Connect(btnReadPrm, &QPushButton::clicked, this, [this] { btnReadPrmClick(); });
    ui::Connect(btnSendPrm, &QPushButton::clicked, this, [this] { btnSendPrmClick(); });
    ui::Connect(btnSavePrm, &QPushButton::clicked, this, [this] { btnSavePrmClick(); });
    ui::Connect(btnOpenForSndPrm, &QPushButton::clicked, this,
                [this] { btnOpenPrmClick(btnOpenForSndPrm); });
    ui::Connect(btnOpen, &QPushButton::clicked, this, [this] { btnOpenPrmClick(btnOpen); });
    ui::Connect(btnSave, &QPushButton::clicked, this, [this] { btnFileSavePrmClick(); });
    PrmGuide_Checkbox->OnClick = [this] { PrmGuide_CheckboxClick(); };
    grdPrm->OnSelectCell = [this](int col, int row, bool& canSelect) {
        grdPrmSelectCell(col, row, canSelect);
    };
    grdPrm->OnSetEditText = [this](int, int row, const QString&) { RefreshRowMark(row); };
    // Row r holds parameter r - 1, with or without a name record.
    grdPrm->SetRowNames([](int row) { return QString("#%1").arg(row - 1, 3, 10, QChar('0')); });
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    connect(Timer2, &QTimer::timeout, this, [this] { ElapsedMs += Timer2->interval(); });
    JoinDriveScreens(this, DriveScreenKind::List);
    exchange_.OnAnswer = [this](const QByteArray&) { ReceivePrm(mdlGeneral); };
    exchange_.OnEnd = [this](Exchange::End) { ReturnToIdle(); };
    exchange_.Where = [this] { return readRunning_ ? RowPlace(QueryNumber) : QString(); };
    exchange_.CutShort = [this] { return writing_ ? writeRun_.CutShortMessage() : QString(); };
}

void TPrmWindow::BuildPanels() {
    QFont bold = font();
    bold.setBold(true);
    for (QLabel* label : {Label1, Label2, Label4})
        label->setFont(bold);
    QFont small = bold; // the "2" of "KASO2", smaller and on the same bottom line
    small.setPixelSize(11);
    Label3->setFont(small);
    auto* comm = new QGridLayout;
    comm->setContentsMargins(0, 0, 0, 0);
    comm->setHorizontalSpacing(1);
    int column = 0;
    for (QPushButton* button : {btnReadPrm, btnSendPrm, btnOpenForSndPrm, btnSavePrm, btnSave})
        comm->addWidget(button, 0, column++);
    auto* kaso = new QHBoxLayout;
    kaso->setSpacing(0);
    kaso->addWidget(Label1);
    kaso->addWidget(Label3, 0, Qt::AlignBottom);
    kaso->addStretch();
    comm->addLayout(kaso, 1, 2, 1, 2);
    auto* file = new QVBoxLayout;
    file->addWidget(Label2);
    file->addWidget(btnOpen);
    auto* guide = new QVBoxLayout;
    guide->addWidget(Label4);
    guide->addWidget(PrmGuide_Checkbox);
    auto* panelBox = new QWidget(this);
    panelBox->setFixedHeight(kPanelHeight);
    auto* panels = new QHBoxLayout(panelBox);
    panels->setContentsMargins(3, 0, 3, 0);
    panels->addLayout(comm);
    panels->addSpacing(8);
    panels->addLayout(file);
    panels->addSpacing(8);
    panels->addLayout(guide);
    panels->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, kPanelTop, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panelBox);
    layout->addSpacing(kGridTop - kPanelTop - kPanelHeight);
    gridRow_ = new QHBoxLayout;
    gridRow_->setContentsMargins(1, 0, 0, 0);
    gridRow_->setSpacing(0);
    gridRow_->addWidget(grdPrm, 1, Qt::AlignLeft);
    layout->addLayout(gridRow_, 1);
    layout->addSpacing(1);
    layout->addWidget(RichEdit1);
}

// The grid's fonts, row pitch and columns in the design's pixels: names in the fixed-pitch font
// so that the name records line up, and the three columns within the grid's width.
void TPrmWindow::SetUpGrid(int left, int width, std::array<double, 3> columnShares) {
    QFont gridFont(ui::kMonospaceFont);
    gridFont.setStyleHint(QFont::Monospace);
    gridFont.setPixelSize(12);
    grdPrm->setFont(gridFont);
    grdPrm->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdPrm->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QHeaderView* rows = grdPrm->verticalHeader();
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(kRowPitch);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    grdPrm->horizontalHeader()->setFixedHeight(kRowPitch);
    grdPrm->setFixedWidth(width);
    gridRow_->setContentsMargins(left, 0, 0, 0);
    for (int col = 0; col < 3; ++col)
        grdPrm->setColumnWidth(col,
                               static_cast<int>(width * columnShares[static_cast<size_t>(col)]));
    // The window's width follows the grid; only the height can be dragged.
    setFixedWidth(left + width);
    resize(left + width, kClientHeight);
}

void TPrmWindow::ScaleToScreen() {
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
}

void TPrmWindow::FormActivate() {
    if (frmMain) setWindowTitle(frmMain->lblAxis->text() + "軸のﾊﾟﾗﾒｰﾀ一覧");
}

void TPrmWindow::grdPrmSelectCell(int col, int row, bool& canSelect) {
    if (col == 2) canSelect = false;
    if (Busy == 1) return;
    ShowGuide(row);
}

void TPrmWindow::PrmGuide_CheckboxClick() {
    const bool shown = PrmGuide_Checkbox->Checked();
    if (TPrmWindow* twin = Twin()) twin->PrmGuide_Checkbox->SetChecked(shown);
    RichEdit1->setVisible(shown);
    SetGuideHeights();
    if (Showing()) grdPrm->setFocus();
}

void TPrmWindow::SetGuideHeights() {
    const int factor = ui::DpiFactor(logicalDpiX());
    layout()->setContentsMargins(0, factor * kPanelTop, 0, RichEdit1->isHidden() ? factor * 2 : 0);
}

void TPrmWindow::RefreshRowMark(int row) {
    if (row < 1 || row >= grdPrm->RowCount()) return;
    const QString value = grdPrm->Cell(1, row);
    const QString reference = grdPrm->Cell(2, row);
    const bool differs =
        !IsUnmarkedRow(row) && !value.isEmpty() && !reference.isEmpty() && value != reference;
    const QColor colour = differs ? QColor(255, 0, 0) : QColor(Qt::black);
    if (grdPrm->CellTextColor(2, row) != colour) // an unchanged mark costs no repaint
        grdPrm->SetCellTextColor(2, row, colour);
}

void TPrmWindow::RefreshMarks() {
    for (int row = 1; row < grdPrm->RowCount(); ++row)
        RefreshRowMark(row);
}

// The model query of both buttons; false when the transfer must not go on (reported already).
bool TPrmWindow::QueryModel() {
    switch (QueryDriverModel(ElapsedMs, *Timer2)) {
    case ModelQuery::SendFailed:
        Busy = 0;
        SetTransferRunning(false);
        return false;
    case ModelQuery::NoAnswer:
        NoAnswerPath();
        return false;
    case ModelQuery::Answered:
        break;
    }
    ModelText = mdlGeneral->LastReply();
    return true;
}

void TPrmWindow::NoAnswerPath() {
    Busy = 1;
    SetTransferRunning(true);
    Timer2->SetEnabled(false);
    mdlGeneral->ReportNoDriver(lossesAtStart_);
    ReturnToIdle();
}

void TPrmWindow::btnReadPrmClick() {
    lossesAtStart_ = mdlGeneral->LineLosses();
    Busy = 1;
    SetTransferRunning(true);
    BeforeRead();
    if (!QueryModel()) return;
    const QString header = ReadHeader();
    if (!header.isEmpty()) grdPrm->SetCell(1, 0, header);
    StartQueryChain();
}

// A cancel ends the chain at once; a reply that comes later is stored nowhere.
void TPrmWindow::StartQueryChain() {
    if (!exchange_.Start({true, true, grdPrm})) return ReturnToIdle();
    PrevReply0.clear();
    QueryNumber = 0;
    ReadIndex = 0;
    PrmCount = ParameterCount();
    if (ReadSetsRowCount()) grdPrm->SetRowCount(PrmCount + 1);
    readRunning_ = true;
    WaitTicks(*Timer1, 5);
    SendQuery("#0\r");
}

// The chain of queries has no time-out: a lost reply leaves it waiting until the user cancels.
void TPrmWindow::SendQuery(const QByteArray& line) {
    exchange_.Ask(line);
}

void TPrmWindow::ReceivePrm(QObject*) {
    if (!readRunning_) return; // no read is waiting for this reply
    HandleReply();
}

void TPrmWindow::HandleReply() {
    const int row = ReadIndex + 1;
    // The reply as it came, every character: a control character in it shows in the cell, and the
    // send and the save refuse the cell.
    grdPrm->SetCell(1, row, ui::ReceivedText(mdlGeneral->LastReply()));
    RefreshRowMark(row);
    if (exchange_.StopRequested()) return exchange_.Cancel();
    ++ReadIndex;
    exchange_.StepTo(ReadIndex, PrmCount);
    if (ReadIndex > PrmCount - 1) {
        exchange_.Finish(TfrmCommCancel::Direction::Upload);
        grdPrm->SetRow(1);
        return;
    }
    if (QueryNumber == 0 && mdlGeneral->LastReply() != PrevReply0) {
        // "#0" is asked until two replies in a row agree.
        PrevReply0 = mdlGeneral->LastReply();
        --ReadIndex;
        WaitTicks(*Timer1, 5);
        SendQuery("#0\r");
        return;
    }
    grdPrm->FollowRow(ReadIndex + 1);
    ++QueryNumber;
    SendQuery("#" + QByteArray::number(QueryNumber) + "\r");
}

// However a transfer ended (its exchange has told the user of a failure), the window is put
// back; a transfer that stops stands on its last row.
void TPrmWindow::ReturnToIdle() {
    readRunning_ = false;
    if (std::exchange(writing_, false))
        for (int row : writeRun_.RowsNotWritten())
            MarkNotWritten(row, true);
    grdPrm->StopFollowing();
    Busy = 0;
    SetTransferRunning(false);
}

// Every value the send would write can go out as it stands; the first that cannot is named.
bool TPrmWindow::ValuesSendable() const {
    for (int k = 0; k + 1 < grdPrm->RowCount(); ++k)
        if (!NeverWritten(k) && !CheckLineText(grdPrm->Cell(1, k + 1), RowPlace(k))) return false;
    return true;
}

void TPrmWindow::btnSendPrmClick() {
    if (!ValuesSendable()) return;
    lossesAtStart_ = mdlGeneral->LineLosses();
    Busy = 1;
    SetTransferRunning(true);
    grdPrm->setFocus();
    if (!QueryModel()) return;
    const int count = ParameterCount();
    grdPrm->SetRowCount(count + 1);
    if (!exchange_.Start({true, true, grdPrm})) return ReturnToIdle();
    writeRun_.Clear();
    writing_ = true;
    for (int row = 1; row < grdPrm->RowCount(); ++row)
        MarkNotWritten(row, false);
    if (!SendValues(count)) return;
    writeRun_.Whole();
    exchange_.FinishWrites(writeRun_);
    grdPrm->SetRow(1);
}

// Every value goes at once; false when the write ended before the driver had answered them all.
bool TPrmWindow::SendValues(int count) {
    Ticket last;
    for (int k = 0; k < count; ++k) {
        if (exchange_.StopRequested()) {
            exchange_.Cancel();
            return false;
        }
        ui::ProcessPendingMessages();
        const QByteArray value = PrmValueForLine(grdPrm->Cell(1, k + 1));
        if (!NeverWritten(k) && !value.isEmpty()) {
            last =
                exchange_.Send("#" + QByteArray::number(k) + "=" + value + "\r", WriteRequestId());
            if (!last) return false;
            writeRun_.Sent(k + 1, RowPlace(k), last);
            if (k % 2 == 0) grdPrm->FollowRow(k + 1);
        }
        exchange_.StepTo(k + 1, count);
    }
    return !last || exchange_.WaitWritten(last);
}

QString TPrmWindow::RowPlace(int k) {
    return QString("#%1").arg(k, 3, 10, QChar('0'));
}

void TPrmWindow::MarkNotWritten(int row, bool notWritten) {
    grdPrm->SetCellTextColor(1, row, notWritten ? QColor(255, 0, 0) : QColor(Qt::black));
}

QStringList TPrmWindow::Column(int col, int rows) const {
    QStringList cells;
    for (int row = 1; row <= rows; ++row)
        cells.append(grdPrm->Cell(col, row));
    return cells;
}

// The file holds what the cells held when the button was pressed (a reply stored while the
// dialog is open is not in it): a value it cannot carry as it stands refuses the save before a
// file is chosen, naming its row.
void TPrmWindow::btnSavePrmClick() {
    const int count = FileParameterCount();
    const ui::FileText file = FormatPrmFile(Column(0, count), Column(1, count));
    if (!ui::CheckCarried(
            file.refused, [this](int number) { return grdPrm->RowName(number + 1); },
            ui::Carrier::File))
        return grdPrm->setFocus();
    ui::FileDialog& dialog = *mdlGeneral->SaveDialog1;
    dialog.Filter = "ﾊﾟﾗﾒｰﾀ(*.prm)|*.PRM";
    dialog.DefaultExt = "prm";
    if (dialog.Execute(this)) {
        const QString failure = ui::WriteWholeFile(dialog.FileName, file.bytes);
        if (!failure.isEmpty())
            ui::ShowWarning(
                QString("ファイルを保存できませんでした。\n%1\n%2").arg(dialog.FileName, failure),
                "警告");
    }
    grdPrm->setFocus();
}

void TPrmWindow::btnOpenPrmClick(QObject* sender) {
    OpenColumn = sender == btnOpenForSndPrm ? 1 : 2;
    ui::FileDialog& dialog = *mdlGeneral->OpenDialog1;
    dialog.Filter = "ﾊﾟﾗﾒｰﾀ(*.prm)|*.PRM|すべてのﾌｧｲﾙ(*.*)|*.*";
    dialog.DefaultExt.clear();
    if (dialog.Execute(this)) LoadFile(dialog.FileName);
    grdPrm->setFocus();
}

bool TPrmWindow::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui::ShowWarning("ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確認し"
                        "てください。",
                        "警告");
        return false;
    }
    const QString tooBig = QString("ﾊﾟﾗﾒｰﾀﾌｧｲﾙとしては大きすぎるため、読み込みませんでした。\n%1")
                               .arg(QFileInfo(path).fileName());
    if (file.size() > kPrmFileSizeLimit) {
        ui::ShowWarning(tooBig, "警告");
        return false;
    }
    // Read at most one byte past the limit, so that neither a huge file nor an endless device
    // is taken into memory.
    QByteArray bytes = file.read(kPrmFileSizeLimit + 1);
    file.close();
    if (bytes.size() > kPrmFileSizeLimit) {
        ui::ShowWarning(tooBig, "警告");
        return false;
    }
    const bool blank = IsBlankPrmFile(bytes);
    PrmFileReader reader(std::move(bytes), FileValueLimit());
    if (reader.StartsWithSection()) {
        const std::optional<QString> serial =
            ui::InputQuery("ｼﾘｱﾙNo入力", "古いﾊﾞｰｼﾞｮﾝでｼﾘｱﾙNoの指定が必要です。", "");
        if (!serial || serial->isEmpty()) return false;
        if (!reader.FindSection(*serial)) {
            ui::ShowWarning("指定されたｼﾘｱﾙNoが見つかりませんでした。", "ｼﾘｱﾙNoｴﾗｰ");
            return false;
        }
    }
    const int count = FileParameterCount();
    const PrmFileReader::Result result = reader.ReadRecords(count);
    // A file of another kind (UTF-16, binary) must not empty the column; a blank file is the
    // file of a list without values.
    const QString endMark = EndMarkMessage(result);
    if (result.taken == 0 && !blank) {
        QStringList message{"ﾊﾟﾗﾒｰﾀのﾚｺｰﾄﾞが見つかりませんでした。", QFileInfo(path).fileName()};
        if (!endMark.isEmpty()) message.append(endMark);
        ui::ShowWarning(message.join('\n'), "警告");
        return false;
    }
    grdPrm->SetCell(OpenColumn, 0, QFileInfo(path).fileName());
    for (int row = 1; row <= count; ++row)
        grdPrm->SetCell(OpenColumn, row, QString());
    for (const auto& [row, value] : result.values)
        grdPrm->SetCell(OpenColumn, row, value);
    RefreshMarks();
    QStringList told;
    if (!result.skipped.isEmpty()) told.append(ui::UnreadableRecordsMessage(result.skipped));
    if (!endMark.isEmpty()) told.append(endMark);
    if (!told.isEmpty()) ui::ShowWarning(told.join('\n'), "警告");
    return true;
}

void TPrmWindow::btnFileSavePrmClick() {
    if (mdlGeneral->PrintDialog1->Execute(this)) {
        const int count = FileParameterCount();
        try {
            PrintPrmList(mdlGeneral->PrintDialog1->Printer(), ui::kMonospaceFont, PrintSampleName(),
                         grdPrm->Cell(1, 0), Column(0, count), Column(1, count));
        } catch (const std::exception&) {
            ui::ShowWarning("印刷エラーが発生しました。", "エラー");
        }
    }
    grdPrm->setFocus();
}
