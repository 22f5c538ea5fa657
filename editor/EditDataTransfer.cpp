// The editor's data transfer commands: the four upload and three download menu commands, which
// preset and show the transfer dialogs, and the data download, which writes the lines of the
// document on screen into driver memory from a start address.
#include "UnitEdit.h"

#include "TransferAxis.h"
#include "UnitDownload.h"
#include "UnitUpload.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Wait.h"

#include <QApplication>
#include <QScopeGuard>
#include <algorithm>

namespace {

constexpr int kMaxLineBytes = 29;

struct UploadPreset {
    int kind;
    QString caption;
    QString word; // what the axis warning says is being uploaded
};

const QString kAxisWarningTail = "\n設定画面にて通信確立の確認及び軸指定の確認をしてください。";

// The start address of internal variables and logging data for a series; empty outside 0..3.
QString SeriesStartAddress(int series) {
    switch (series) {
    case 0:
        return "#$D000";
    case 1:
        return "#%0020C000";
    case 2:
    case 3:
        return "#%0010C000";
    default:
        return {};
    }
}

// The hourglass for as long as a download runs, whichever way it ends.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

void TfrmEdit::WireDataTransfers() {
    const std::pair<QAction*, void (TfrmEdit::*)()> commands[] = {
        {RunUploadItem, &TfrmEdit::btnPopupUpLoadClick},
        {btnPopupUpLoad, &TfrmEdit::btnPopupUpLoadClick},
        {RunUpLoadLogData, &TfrmEdit::btnPopupUpLoadLogDataClick},
        {btnPopupUpLoadLogData, &TfrmEdit::btnPopupUpLoadLogDataClick},
        {RunUpLoadCam, &TfrmEdit::btnPopupUpLoadCamDataClick},
        {btnPopupUpLoadCamData, &TfrmEdit::btnPopupUpLoadCamDataClick},
        {RunUpLoadData, &TfrmEdit::btnPopupUpLoadCorrectDataClick},
        {btnPopupUpLoadCorrectData, &TfrmEdit::btnPopupUpLoadCorrectDataClick},
        {RunDownloadItem, &TfrmEdit::btnPopupDownLoadClick},
        {btnPopupDownLoad, &TfrmEdit::btnPopupDownLoadClick},
        {RunDownloadCamItem, &TfrmEdit::btnPopupDownLoadCamDataClick},
        {btnPopupDownLoadCamData, &TfrmEdit::btnPopupDownLoadCamDataClick},
        {RunDownloadDataItem, &TfrmEdit::btnPopupDownLoadCorrectDataClick},
        {btnPopupDownLoadCorrectData, &TfrmEdit::btnPopupDownLoadCorrectDataClick}};
    for (const auto& [item, handler] : commands)
        ui::Connect(item, &QAction::triggered, this,
                    [this, handler = handler] { (this->*handler)(); });
}

namespace {

// The windows a data transfer hides before it takes the line: the drive screens but the
// analysis window, and the other transfer's dialog.
void HideScreensForTransfer(ui::Form* otherDialog) {
    HideDriveScreensExcept(DriveScreenKind::Analysis);
    if (otherDialog && otherDialog->Showing()) otherDialog->Hide();
}

// The axis check of the transfers, with the command's own warning.
bool AxisConfirmed(const QString& warning) {
    if (editor::DesignatedAxisAnswered()) return true;
    ui::ShowWarning(warning + kAxisWarningTail, "警告");
    return false;
}

// Presets and shows the upload dialog for one kind of data.
void OpenUploadDialog(const UploadPreset& preset) {
    // A running data download keeps its dialog; a running upload may show its own again.
    if (frmEdit->ProgramTransferRunning() || frmEdit->DataDownloadRunning()) return;
    frmEdit->UploadKind = preset.kind;
    HideScreensForTransfer(frmDownload);
    frmEdit->AxisBit = editor::TransferAxisBit(frmMain->lblAxis->text());
    if ((frmEdit->AxisBit & frmMain->AxisMask) == 0) {
        ui::ShowWarning("通信確立が未確認の軸の" + preset.word +
                            "をアップロードしようとしています。" + kAxisWarningTail,
                        "警告");
        return;
    }
    frmUpload->Show();
    frmUpload->setWindowTitle(preset.caption);
    const bool blockKind = preset.kind == 3 || preset.kind == 4;
    if (blockKind) {
        frmUpload->cmbFirst->setEditText(preset.kind == 3 ? "#%00090000" : "#$00088000");
        frmUpload->edtNum->setText("16384");
        frmUpload->cmbKumisuu->setEditText("1");
        return;
    }
    const int series = SeriesIndex();
    frmUpload->edtNum->setText("1000");
    if (series < 0 || series > 3) return;
    frmUpload->cmbFirst->setEditText(SeriesStartAddress(series));
    frmUpload->cmbKumisuu->setEditText(series == 0 ? "1" : "4");
}

} // namespace

void TfrmEdit::btnPopupUpLoadClick() {
    OpenUploadDialog({1, "内部変数のｱｯﾌﾟﾛｰﾄﾞ", "内部データ"});
}

void TfrmEdit::btnPopupUpLoadLogDataClick() {
    OpenUploadDialog({2, "ﾛｷﾞﾝｸﾞﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ", "ロギングデータ"});
}

void TfrmEdit::btnPopupUpLoadCamDataClick() {
    OpenUploadDialog({3, "ｶﾑﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ", "カムデータ"});
}

void TfrmEdit::btnPopupUpLoadCorrectDataClick() {
    OpenUploadDialog({4, "補正ﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ", "補正データ"});
}

void TfrmEdit::btnPopupDownLoadClick() {
    if (ProgramTransferRunning() || DataUploadRunning()) return;
    HideScreensForTransfer(frmUpload);
    if (!AxisConfirmed("通信確立が未確認の軸に内部データをダウンロードしようとしています。"))
        return;
    frmDownload->Show();
    frmDownload->setWindowTitle("内部変数のﾀﾞｳﾝﾛｰﾄﾞ");
    const QString address = SeriesStartAddress(SeriesIndex());
    if (!address.isEmpty()) frmDownload->cmbFirst->setEditText(address);
}

void TfrmEdit::btnPopupDownLoadCamDataClick() {
    if (ProgramTransferRunning() || DataUploadRunning()) return;
    HideScreensForTransfer(frmUpload);
    if (!AxisConfirmed("通信確立が未確認の軸にカムデータをダウンロードしようとしています。"))
        return;
    frmDownload->setWindowTitle("ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    frmDownload->cmbFirst->setEditText("#%00090000");
    frmDownload->Show();
}

void TfrmEdit::btnPopupDownLoadCorrectDataClick() {
    if (ProgramTransferRunning() || DataUploadRunning()) return;
    HideScreensForTransfer(frmUpload);
    if (!AxisConfirmed("通信確立が未確認の軸に補正データをダウンロードしようとしています。"))
        return;
    frmDownload->setWindowTitle("補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    frmDownload->cmbFirst->setEditText("#$00088000");
    frmDownload->Show();
}

void TfrmEdit::SendDownLoadData(QObject*) {
    if (ProgramTransferRunning() || DataUploadRunning()) return; // they hold the line
    memSub->clear();
    ui::ProcessPendingMessages();
    if (ui::ShowMessage("編集画面上のデータを転送します。よろしいですか？", "確認",
                        ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel) != ui::MsgResult::Yes)
        return;

    // What is sent is the document and the address as they stood when the user said yes.
    const QStringList lines = memMain2->Lines();
    const QByteArray address = LineBytes(CleanLineField(frmDownload->cmbFirst->currentText()));
    // A value that would not reach the driver as the document holds it stops the run before the
    // first is sent.
    const auto unsendable = std::find_if_not(lines.begin(), lines.end(), GoesOutUnchanged);
    if (unsendable != lines.end()) {
        const auto row = unsendable - lines.begin();
        memSub->clear();
        ShowUnsendableRow(TabCaption(ActiveTab()), int(row), *unsendable);
        return;
    }
    // Any line in the reply pane is the driver's answer to a written value: a data error.
    const auto driverAnswered = [this] { return !memSub->toPlainText().isEmpty(); };
    const auto reportDataError = [] {
        ui::ShowMessage("KASOがデータエラーを検知しました。\n再度テキストを確認してください。",
                        "受信データエラー", ui::MsgIcon::Information);
    };

    // A stop ends the run silently; a close of the dialog also hands the line back.
    const auto stopped = [this] {
        if (!DownloadStopRequested && !ui::QuitRequested()) return false;
        if (!frmDownload->isVisible()) mdlGeneral->ReleaseLine(ridEditReply);
        return true;
    };

    // The run's lines go to the axis designated now; however it ends, its exchange ends with
    // it, and a failed send is told by the exchange. A late answer to an earlier question would
    // be taken for the driver refusing a value: the line is brought in step first.
    Exchange& exchange = *dataDownload_;
    exchange.Start();
    const auto ended = qScopeGuard([&exchange] { exchange.Finish(); });
    if (!exchange.WaitInStep()) return exchange.Fail(Exchange::End::NotAnswered);
    DownloadStopRequested = false;
    dataDownloadRunning_ = true;
    const auto running = qScopeGuard([this] { dataDownloadRunning_ = false; });
    BusyCursor busy;
    for (qsizetype i = 0;; ++i) {
        ui::ProcessPendingMessages();
        if (stopped()) return;
        if (driverAnswered()) return reportDataError();
        if (i == lines.size()) {
            // The last value's answer, if the driver gives one, comes within the reply time.
            if (i > 0) WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2);
            if (stopped()) return;
            if (driverAnswered()) return reportDataError();
            memSub->clear();
            ui::ShowMessage("ダウンロード終了しました。", "ダウンロード終了",
                            ui::MsgIcon::Information);
            return;
        }
        // The first value always carries the address, so it can never land where the driver
        // last pointed; an empty later line goes as a bare line end.
        const QByteArray value = LineBytes(lines[i]);
        const QByteArray text = i == 0            ? address + "=" + value
                                : value.isEmpty() ? QByteArray()
                                                  : "," + value;
        if (text.size() > kMaxLineBytes) {
            ui::ShowMessage("転送文字列が29文字を超えています。\n再度テキストを確認してください。",
                            "送信データエラー", ui::MsgIcon::Information);
            return;
        }
        if (!exchange.Write(text + "\r", ridEditReply)) return;
        frmDownload->edtPath->setText(QString::number(i + 1));
    }
}
