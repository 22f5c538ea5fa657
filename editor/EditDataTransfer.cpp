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
const QByteArray kModelQuery = "VER\r";

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

// What a download that did not end whole says: the values the driver did not take, and where
// the run stopped when values were left unsent. The editor marks no rows, so the note of the
// marks is left out.
// `unconfirmed`: a value taken, as its write tells, before its axis fell silent on the line that
// settles it, which the write does not tell.
QString DownloadEndNote(const WriteRun& run, bool valuesLeft, const QString& unconfirmed) {
    static const QString kMarksNote = "これらの値は赤で示しています。";
    QStringList parts;
    QStringList notWritten = run.Message().split('\n', Qt::SkipEmptyParts);
    if (!notWritten.isEmpty() && notWritten.last() == kMarksNote) notWritten.removeLast();
    if (notWritten.isEmpty() && !unconfirmed.isEmpty())
        notWritten << QString("書き込まれたことを確かめられなかった値が 1 件あります: %1")
                          .arg(unconfirmed);
    if (!notWritten.isEmpty()) parts << notWritten.join('\n');
    if (valuesLeft) parts << WriteCutShortMessage(run.LastSent());
    return parts.join('\n');
}

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
    // A running upload shows its own dialog again, as it stands; another transfer refuses.
    if (frmEdit->DataUploadRunning()) return frmUpload->Show();
    if (frmEdit->TransferRunning()) return TellAnotherTransferRuns();
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

bool TfrmEdit::DownloadDialogFree() {
    // A running download shows its dialog again, as it stands; another transfer refuses.
    if (DataDownloadRunning()) {
        frmDownload->Show();
        return false;
    }
    if (!TransferRunning()) return true;
    TellAnotherTransferRuns();
    return false;
}

void TfrmEdit::btnPopupDownLoadClick() {
    if (!DownloadDialogFree()) return;
    HideScreensForTransfer(frmUpload);
    if (!AxisConfirmed("通信確立が未確認の軸に内部データをダウンロードしようとしています。"))
        return;
    frmDownload->Show();
    frmDownload->setWindowTitle("内部変数のﾀﾞｳﾝﾛｰﾄﾞ");
    const QString address = SeriesStartAddress(SeriesIndex());
    if (!address.isEmpty()) frmDownload->cmbFirst->setEditText(address);
}

void TfrmEdit::btnPopupDownLoadCamDataClick() {
    if (!DownloadDialogFree()) return;
    HideScreensForTransfer(frmUpload);
    if (!AxisConfirmed("通信確立が未確認の軸にカムデータをダウンロードしようとしています。"))
        return;
    frmDownload->setWindowTitle("ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    frmDownload->cmbFirst->setEditText("#%00090000");
    frmDownload->Show();
}

void TfrmEdit::btnPopupDownLoadCorrectDataClick() {
    if (!DownloadDialogFree()) return;
    HideScreensForTransfer(frmUpload);
    if (!AxisConfirmed("通信確立が未確認の軸に補正データをダウンロードしようとしています。"))
        return;
    frmDownload->setWindowTitle("補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    frmDownload->cmbFirst->setEditText("#$00088000");
    frmDownload->Show();
}

void TfrmEdit::SendDownLoadData(QObject*) {
    if (TransferRunning()) return TellAnotherTransferRuns();
    memSub->clear();
    ui::ProcessPendingMessages();
    if (ui::ShowMessage("編集画面上のデータを転送します。よろしいですか？", "確認",
                        ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel) != ui::MsgResult::Yes)
        return;

    // What is sent is the document and the address as they stood when the user said yes.
    const QStringList lines = memMain2->Lines();
    const QString document = TabCaption(ActiveTab());
    const QByteArray address = LineBytes(CleanLineField(frmDownload->cmbFirst->currentText()));
    // A value that would not reach the driver as the document holds it stops the run before the
    // first is sent.
    const auto unsendable = std::find_if_not(lines.begin(), lines.end(), GoesOutUnchanged);
    if (unsendable != lines.end()) {
        const auto row = unsendable - lines.begin();
        memSub->clear();
        ShowUnsendableRow(document, int(row), *unsendable);
        return;
    }

    // The run's lines go to the axis designated now. It belongs to the document on screen: when
    // that document or the editor closes, the run ends; closing only the dialog leaves it going.
    Exchange& exchange = *dataDownload_;
    if (!exchange.Start()) return;
    DownloadStopRequested = false;
    dataDownloadRunning_ = true;
    downloadSlot_ = ActiveTab();
    const auto running = qScopeGuard([this] {
        dataDownloadRunning_ = false;
        downloadSlot_ = -1;
        // A dialog closed meanwhile has handed the line back.
        if (!frmDownload->isVisible()) mdlGeneral->ReleaseLine(ridEditReply);
    });
    // The driver's model text, asked first, brings the line in step (a late answer to an earlier
    // question is never taken for a refusal) and lets the line settle each value behind it.
    if (!exchange.AskAndWait(kModelQuery, TmdlGeneral::kReplyLimitMs)) {
        if (exchange.Running()) exchange.Fail(Exchange::End::NotAnswered);
        return;
    }

    // However the run is cut short, the user hears which values the driver did not take and the
    // last one sent.
    WriteRun run;
    qsizetype sent = 0;
    QString unconfirmed;
    exchange.CutShort = [&] { return DownloadEndNote(run, sent < lines.size(), unconfirmed); };
    const auto forget = qScopeGuard([&exchange] { exchange.CutShort = nullptr; });
    BusyCursor busy;
    switch (WriteDownloadValues(lines, document, address, run, sent, unconfirmed)) {
    case DownloadEnd::Completed:
        exchange.Finish();
        memSub->clear();
        ui::ShowMessage("ダウンロード終了しました。", "ダウンロード終了", ui::MsgIcon::Information);
        return;
    case DownloadEnd::Answered:
        ui::ShowMessage("KASOがデータエラーを検知しました。\n再度テキストを確認してください。",
                        "受信データエラー", ui::MsgIcon::Information);
        return exchange.Cancel();
    case DownloadEnd::Unconfirmed:
        return exchange.Fail(Exchange::Quiet());
    case DownloadEnd::TooLong:
        // The values before it are written, and the count shows how many.
        exchange.Finish();
        ui::ShowMessage("転送文字列が29文字を超えています。\n再度テキストを確認してください。",
                        "送信データエラー", ui::MsgIcon::Information);
        return;
    case DownloadEnd::Stopped:
        return exchange.Cancel();
    case DownloadEnd::Ended:
        return;
    }
}

// Each value goes out once the one before it is known to be written: the driver puts a value
// after the last one it took, so a value sent behind one it refused would land in that one's
// place.
TfrmEdit::DownloadEnd TfrmEdit::WriteDownloadValues(const QStringList& lines,
                                                    const QString& document,
                                                    const QByteArray& address, WriteRun& run,
                                                    qsizetype& sent, QString& unconfirmed) {
    Exchange& exchange = *dataDownload_;
    for (qsizetype i = 0;; ++i) {
        ui::ProcessPendingMessages();
        if (!exchange.Running()) return DownloadEnd::Ended;
        if (DownloadStopRequested || exchange.StopRequested()) return DownloadEnd::Stopped;
        if (i == lines.size()) return DownloadEnd::Completed;
        // The first value always carries the address, so it can never land where the driver
        // last pointed; an empty later line goes as a bare line end.
        const QByteArray value = LineBytes(lines[i]);
        const QByteArray text = i == 0            ? address + "=" + value
                                : value.isEmpty() ? QByteArray()
                                                  : "," + value;
        if (text.size() > kMaxLineBytes) return DownloadEnd::TooLong;
        const Ticket write = exchange.Send(text + "\r", ridEditReply);
        if (!write) return DownloadEnd::Ended;
        run.Sent(int(i), QString("%1 の %2行目").arg(document).arg(i + 1), write);
        sent = i + 1;
        frmDownload->edtPath->setText(QString::number(sent));
        // The line in step behind the value: its axis answered the line that settles it.
        const bool written = exchange.WaitWritten(write);
        const bool settled = written && exchange.WaitInStep();
        if (!exchange.Running()) return DownloadEnd::Ended;
        if (!written) return DownloadEnd::Stopped;
        // Any answer to a written value is the driver's word that something is wrong with it.
        if (write->Answered()) return DownloadEnd::Answered;
        if (!write->Written() || !settled) {
            unconfirmed = run.LastSent();
            return DownloadEnd::Unconfirmed;
        }
    }
}

void TfrmEdit::StopDataDownload() {
    DownloadStopRequested = true;
    // A wait for the driver's word on the last value ends at once, on a silent driver too.
    if (DataDownloadRunning()) dataDownload_->Cancel();
}

void TfrmEdit::EndDataDownloadOf(int slot) {
    if (!DataDownloadRunning() || slot != downloadSlot_) return;
    dataDownload_->Cancel();
    frmDownload->close();
}
