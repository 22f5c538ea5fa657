// The data upload: a reply-driven chain that reads driver memory value by value into the table
// of uploaded data. The dialog's start asks for the model text (and, for logging data, the
// header values) and sends the start address; every reply then adds one value to the collecting
// table and asks for the next with ",?" until all have come, the user stops, or the dialog
// closes. The finished rows become the text of the upload's own new document.
#include "UnitEdit.h"

#include "DataAddress.h"
#include "TransferAxis.h"
#include "UnitUpload.h"
#include "UploadTable.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"

#include <algorithm>

namespace {

const QString kUploadCaption = "KASOﾃﾞｰﾀ";
constexpr int kLoggingData = 2;

void ShowSettingError(const QString& text) {
    ui::ShowWarning(text, "設定エラー");
}

// A reply as a table cell is the line as received (editor::KeptReply); one that cannot be kept
// ends the upload before row `row` of the table, and the user is told.
void TellUnkept(const QByteArray& reply, int row) {
    ui::ShowWarning(editor::UnkeptReplyMessage(reply, row), "警告");
}

} // namespace

void TfrmEdit::ReceiveUpLoadData(QObject* sender) {
    if (sender == frmUpload)
        StartDataUpload();
    else if (uploadPhase_ == UploadPhase::Collecting)
        StepDataUpload();
}

void TfrmEdit::ShowUploadCollector(bool shown) {
    if (!shown) memUploadData->SetScrollBars(ui::EditorPane::ScrollBars::None);
    memUploadData->setReadOnly(true);
    memUploadData->setEnabled(shown);
    memUploadData->setVisible(shown);
    if (shown) memUploadData->raise();
}

bool TfrmEdit::ReadUploadCounts(long long& sets, int& itemsPerSet) {
    const QString setsText = frmUpload->edtNum->text();
    bool ok = false;
    const int setCount = setsText.toInt(&ok);
    if (setsText.isEmpty()) {
        ShowSettingError("データ組数が設定されていません。");
        return false;
    }
    if (!ok || setCount < 1) {
        ShowSettingError("データ組数の設定が無効です。（1以上）");
        return false;
    }
    const QString itemsText = frmUpload->cmbKumisuu->currentText();
    const int items = itemsText.toInt(&ok);
    if (itemsText.isEmpty()) {
        ShowSettingError("個数/1組が設定されていません。");
        return false;
    }
    if (!ok || items < 1 || items > 4) {
        ShowSettingError("個数/1組の設定が不正です。（1以上4以下）");
        return false;
    }
    sets = setCount;
    itemsPerSet = items;
    return true;
}

void TfrmEdit::StartDataUpload() {
    uploadPhase_ = UploadPhase::Starting;
    const QString startText = CleanLineField(frmUpload->cmbFirst->currentText());
    long long sets = 0;
    int itemsPerSet = 1;
    // A program transfer or a data download holds the line until it ends.
    if (ProgramTransferRunning() || DataDownloadRunning()) {
        // A program upload fills the collecting table itself: it stays as that upload has it.
        uploadPhase_ = UploadPhase::Idle;
        frmUpload->btnStart->setEnabled(true);
        if (uploadSlot_ < 0) ShowUploadCollector(false);
        return TellAnotherTransferRuns();
    }
    if (startText.isEmpty() || !ReadUploadCounts(sets, itemsPerSet)) return AbortDataUpload();
    // The address is read whole before anything is sent; only the model decides the rest.
    const QByteArray startLine = ui::cp932::Encode(startText);
    const auto start = editor::address::Parse(startLine.toStdString());
    if (!start) {
        ui::ShowWarning("アドレス値が不正です。", "アドレスエラー");
        return AbortDataUpload();
    }

    // The upload writes into a document of its own; with none free it does not start.
    const int slot = TakeFreeSlot();
    if (slot < 0) {
        ui::ShowWarning("これ以上ﾌｧｲﾙを開けません。", "警告");
        return AbortDataUpload();
    }
    OpenUploadDocument(slot, kUploadCaption);
    UploadIndex = 1;
    MaxLineWidth = 0;
    uploadRun_ = UploadRun{};
    uploadRun_.slot = slot;
    uploadRun_.values = sets * itemsPerSet;
    uploadRun_.itemsPerSet = itemsPerSet;
    uploadRun_.lossesAtStart = mdlGeneral->LineLosses();
    if (!dataUpload_->Start()) return AbortDataUpload(); // its lines go to the axis designated now

    const ModelQuery model = QueryDriverModel(frmMain->ElapsedMs, *frmMain->Timer2);
    if (uploadPhase_ != UploadPhase::Starting) return; // closed or line lost meanwhile
    if (model != ModelQuery::Answered) {
        if (model == ModelQuery::NoAnswer) mdlGeneral->ReportNoDriver(uploadRun_.lossesAtStart);
        return AbortDataUpload();
    }
    frmMain->VersionText = mdlGeneral->LastReply();
    if (UploadKind == kLoggingData && !ReadLoggingHeader()) return;

    const bool halfSteps = editor::address::HasHalfSteps(frmMain->VersionText.toStdString());
    if (editor::address::RefusedOn(start->kind, halfSteps)) {
        ShowSettingError("このドライバでは " + QString::fromStdString(start->prefix) +
                         "アドレス指定は無効です。");
        return AbortDataUpload();
    }
    UploadAddressKind = start->kind;
    UploadStartAddress = start->value;
    uploadRun_.prefix = start->prefix;
    uploadRun_.halfSteps = halfSteps;
    // First-series drivers label single values with 4-digit addresses.
    uploadRun_.hexDigits = SeriesIndex() == 0 && !halfSteps && itemsPerSet == 1 ? 4 : 8;
    UploadStopRequested = false;
    UploadSetPosition = 0;
    UploadPendingRow.clear();
    uploadPhase_ = UploadPhase::Collecting;
    dataUpload_->Ask(startLine + "\r");
}

// The header's questions have the usual reply time; one left unanswered ends the upload.
bool TfrmEdit::QueryForUpload(const QByteArray& command, QByteArray& reply) {
    const std::optional<QByteArray> answer =
        dataUpload_->AskAndWait(command, TmdlGeneral::kReplyLimitMs);
    if (uploadPhase_ != UploadPhase::Starting) return false; // closed or line lost meanwhile
    if (!answer) {
        dataUpload_->Fail(Exchange::End::NotAnswered);
        return false;
    }
    reply = *answer;
    return true;
}

bool TfrmEdit::ReadLoggingHeader() {
    QByteArray first;
    QByteArray second;
    // The header is the table's first row.
    const auto kept = [this](const QByteArray& reply, QString& cell) {
        const std::optional<QString> text = editor::KeptReply(reply);
        if (!text) {
            TellUnkept(reply, 1);
            AbortDataUpload();
            return false;
        }
        cell = *text;
        return true;
    };
    QString period;
    QString code;
    if (SeriesIndex() == 0) {
        if (!QueryForUpload("#$DFFA\r", first) || !QueryForUpload("#&DFFE\r", second) ||
            !kept(first, period) || !kept(second, code))
            return false;
        AppendUploadRow(editor::FirstSeriesLoggingHeader(period, code));
        return true;
    }
    // The channel count is the items-per-set text itself: "04" selects no header.
    const QString itemsText = frmUpload->cmbKumisuu->currentText();
    const QStringList counts = {"1", "2", "3", "4"};
    const int channels = static_cast<int>(counts.indexOf(itemsText)) + 1;
    if (channels == 0) return true;
    if (!QueryForUpload("LTIME\r", first) || !kept(first, period)) return false;
    QStringList names;
    for (int channel = 1; channel <= channels; ++channel) {
        QByteArray name;
        QString cell;
        if (!QueryForUpload("LOG" + QByteArray::number(channel) + "N\r", name) || !kept(name, cell))
            return false;
        names << cell;
    }
    AppendUploadRow(editor::LoggingHeader(period, names));
    return true;
}

void TfrmEdit::StepDataUpload() {
    const QByteArray reply = mdlGeneral->LastReply();
    const std::optional<QString> kept = editor::KeptReply(reply);
    if (!kept) {
        TellUnkept(reply, memUploadData->LineCount() + 1);
        return EndDataUpload();
    }
    const QString value = *kept;
    const int items = uploadRun_.itemsPerSet;
    if (UploadSetPosition == 0) {
        const editor::address::StartAddress start{
            static_cast<editor::address::Kind>(UploadAddressKind), uploadRun_.prefix,
            UploadStartAddress};
        const QString label = QString::fromStdString(
            editor::address::RowLabel(start, static_cast<std::uint64_t>(UploadIndex),
                                      uploadRun_.halfSteps, uploadRun_.hexDigits));
        UploadPendingRow = editor::Pad12(label);
    }
    if (UploadSetPosition == items - 1)
        AppendUploadRow(UploadPendingRow + value);
    else
        UploadPendingRow += editor::Pad12(value);
    UploadSetPosition = (UploadSetPosition + 1) % items;

    frmUpload->edtPath->setText(QString::number(UploadIndex));
    frmUpload->ProgressBar1->setValue(static_cast<int>(UploadIndex * 100 / uploadRun_.values));
    if (UploadIndex >= uploadRun_.values || UploadStopRequested) return EndDataUpload();
    ++UploadIndex;
    // The values are read one by one with no reply time-out (the stop and the dialog's close
    // end a wait).
    if (dataUpload_->Ask(",?\r")) KeepCollectorInView();
}

void TfrmEdit::AppendUploadRow(const QString& row) {
    memUploadData->AddLine(row);
}

void TfrmEdit::KeepCollectorInView() {
    ui::EditorPane* pane = memUploadData;
    const int lines = pane->LineCount();
    const int rows = pane->VisibleRows();
    if (UploadSetPosition == 0 && lines > 0) {
        MaxLineWidth =
            std::max(MaxLineWidth, ui::EditorPane::ExpandTabLength(pane->Line(lines - 1)));
        if (UploadKind == kLoggingData)
            MaxLineWidth = std::max(MaxLineWidth, ui::EditorPane::ExpandTabLength(pane->Line(0)));
        const bool tall = lines > rows - 1;
        const bool wide = MaxLineWidth > pane->VisibleCols();
        using Bars = ui::EditorPane::ScrollBars;
        pane->SetScrollBars(tall && wide ? Bars::Both
                            : tall       ? Bars::Vertical
                            : wide       ? Bars::Horizontal
                                         : Bars::None);
    }
    if (lines > rows) pane->SetTopRow(lines - rows);
    pane->SetRowCol(std::max(0, lines - 1), 0);
    SetPanelText(0, QString("%1:  %2 ").arg(pane->Row() + 1).arg(pane->Col() + 1));
}

void TfrmEdit::PutUploadIntoDocument() {
    const int slot = uploadRun_.slot;
    // A document the user closed meanwhile takes nothing, nor one that has taken its slot since.
    if (slot < 0 || (UsedSlots & (1 << slot)) == 0) return;
    if (TabCaption(slot) != kUploadCaption || DocFileName[slot] != kUploadCaption) return;
    const QString text = memUploadData->Text();
    if (slot != activeTab_) {
        DocText[slot] = text;
        return;
    }
    memMain2->SetText(text);
    RecomputeMaxLineWidth();
    memMain2Change(this);
    // The last line in view at the bottom, with the caret on it.
    const int lines = memMain2->LineCount();
    int top = lines - memMain2->VisibleRows();
    if (MaxLineWidth < memMain2->VisibleCols() - 1) ++top;
    memMain2->SetTopRow(std::max(0, top));
    memMain2->SetRowCol(std::max(0, lines - 1), 0);
    memMain->SetTopRow(memMain2->TopRow());
    UpdateCaretPanel();
}

void TfrmEdit::AbortDataUpload() {
    uploadPhase_ = UploadPhase::Idle;
    dataUpload_->Cancel();
    if (frmUpload) frmUpload->btnStart->setEnabled(true);
    ShowUploadCollector(false);
}

void TfrmEdit::EndDataUpload() {
    switch (uploadPhase_) {
    case UploadPhase::Idle:
        return;
    case UploadPhase::Starting:
        return AbortDataUpload();
    case UploadPhase::Collecting:
        uploadPhase_ = UploadPhase::Idle;
        PutUploadIntoDocument();
        if (frmUpload) frmUpload->btnStart->setEnabled(true);
        ShowUploadCollector(false);
        dataUpload_->Finish();
        mdlGeneral->ReleaseLine(ridDataUpload);
        return;
    }
}
