// The program download and upload of the editor. The download sends a snapshot of the program,
// taken and checked whole before the first row goes out, one row per command line, paced for the
// line rate and (second generation) read back with "RRX"; the upload is a reply-driven chain
// ("FLPT=0", "FL", then "FL+" per row) that fills a new document of its own until the driver's
// end mark, a reply whose first byte is 0xFF.
#include "UnitEdit.h"

#include "EditCompile.h"
#include "ProgramRows.h"
#include "TransferAxis.h"
#include "UploadTable.h"
#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "platform/Comm.h"
#include "shell/UnitSetup.h"
#include "ui/CarriedText.h"
#include "ui/Codec.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"
#include "ui/Wait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTextBlock>
#include <deque>
#include <optional>
#include <utility>

namespace {

const QString kUploadCaption = "ﾌﾟﾛｸﾞﾗﾑﾘｽﾄ";
constexpr int kReadBackTicks = 54;   // of Timer2 (10 ms)
constexpr int kClearPauseTicks = 10; // of Timer1 (100 ms)
constexpr qsizetype kUploadLineLimit = 48;
constexpr qint64 kStatusRefreshMs = 250;

// The hourglass for as long as the run lasts, however it ends.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// What a download sends, fixed when it starts.
struct DownloadSource {
    QString name;           // the name the pane's status and error lines show
    QList<QByteArray> rows; // CP932 bytes, without CR
    bool fromFile = false;  // a compiled program file (no percentage shown)
    QStringList lines;      // the editor's lines the rows were made from; none for a file

    // A row as the document holds it, for the error lines.
    QString RowText(int n) const {
        return fromFile ? ui::cp932::Decode(rows.value(n)) : lines.value(n);
    }
};

// The first of the editor's lines that cannot be sent whole: one that would not reach the driver
// as typed (a control character, a character with no CP932 code), or one longer than a row.
editor::RowCheck CheckEditorLines(const QStringList& lines) {
    for (int n = 0; n < lines.size(); ++n) {
        if (!GoesOutUnchanged(lines[n])) return {editor::RowFault::BadCharacter, n};
        const editor::RowCheck row = editor::CheckRows({LineBytes(lines[n])}, true);
        if (row.fault != editor::RowFault::None) return {row.fault, n};
    }
    return {};
}

// Every drive screen but the analysis window gives up the line.
void HideDriverScreensForTransfer() {
    HideDriveScreensExcept(DriveScreenKind::Analysis);
}

// Ends a download run: the reason decides what the user is told.
enum class RunEnd { Completed, Cancelled, DataError, NoReadBack, LineLost };

struct DownloadRun {
    RunEnd end = RunEnd::Completed;
    int row = 0; // the row the run ended on
};

// Replaces the reply pane's first line (or writes it into an empty pane).
void ReplaceFirstLine(QPlainTextEdit& pane, const QString& text) {
    if (pane.document()->isEmpty()) {
        pane.setPlainText(text);
        return;
    }
    // Within one edit block the cursor is placed by position: it does not lay the line out to
    // find its place on screen, which the edit's end and the repaint do once anyway.
    const QTextBlock first = pane.document()->firstBlock();
    QTextCursor cursor(pane.document());
    cursor.beginEditBlock();
    cursor.setPosition(first.position());
    cursor.setPosition(first.position() + first.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    cursor.endEditBlock();
}

// A driver reply to a program row stands in the reply pane's line 1 (line 0 is the status).
bool DriverAnsweredRow(const QPlainTextEdit& pane) {
    const QTextBlock second = pane.document()->firstBlock().next();
    return second.isValid() && !second.text().isEmpty();
}

// The reply pane's status line, which names the row sent last. The line is laid out anew each
// time it changes, which costs more than the rest of a row, so while rows go out it is rewritten
// only as often as anyone can read it; when the run stops it names the row in progress at once.
class RowStatus {
public:
    RowStatus(QPlainTextEdit& pane, const QString& name) : pane_(pane), name_(name) {}
    RowStatus(const RowStatus&) = delete;
    RowStatus& operator=(const RowStatus&) = delete;

    // Row n has gone out. The first row's status stands at once, so a reply is always line 1.
    void Sent(int n) {
        sent_ = n;
        if (shown_ < 0 || clock_.hasExpired(kStatusRefreshMs)) ShowNow();
    }

    void ShowNow() {
        if (sent_ == shown_) return;
        ReplaceFirstLine(pane_, QString("%1 の %2行目を送信").arg(name_).arg(sent_ + 1));
        shown_ = sent_;
        clock_.start();
    }

private:
    QPlainTextEdit& pane_;
    const QString name_;
    int sent_ = -1;
    int shown_ = -1;
    QElapsedTimer clock_;
};

// The rows sent whose fate the driver has still to tell: a row it answered, whatever the
// answer, is a data error; one it said nothing of before it fell silent ends the run as a missing
// read-back does.
class RowsOut {
public:
    void Sent(int row, Ticket write) { rows_.push_back({row, std::move(write)}); }
    // The last row sent whose fate is still to be told (nullptr: none).
    Ticket Last() const { return rows_.empty() ? nullptr : rows_.back().second; }
    // The end the driver's word on the rows sent so far brings, if any.
    std::optional<DownloadRun> Heard() {
        while (!rows_.empty()) {
            const auto& [row, write] = rows_.front();
            if (write->Answered()) return DownloadRun{RunEnd::DataError, row};
            if (write->Waiting()) return std::nullopt;
            if (!write->Written()) return DownloadRun{RunEnd::NoReadBack, row};
            rows_.pop_front();
        }
        return std::nullopt;
    }

private:
    std::deque<std::pair<int, Ticket>> rows_;
};

// The pace after a row: it ends at its limit or at the driver's first line after the row,
// which is its answer to the row or the model text that settles it (the driver has taken the
// row and read the line behind it, so the read-back may go at once).
void WaitPace(ui::Timer& timer, int ticks, const Ticket& row, const Exchange& exchange) {
    if (ticks <= 0) {
        // No ticks to wait: what has come in is seen, and the run goes on at once.
        ui::ProcessPendingMessages();
        return;
    }
    timer.Tag = 0;
    timer.SetEnabled(true);
    ui::ProcessMessagesUntil(
        [&] { return timer.Tag >= ticks || !row->Waiting() || !exchange.Running(); });
    timer.SetEnabled(false);
}

// Sends the rows one by one: status line, pace, the "MBCL" pause, the read-back. Cancel is seen
// before each row; a lost line or a failed send (the exchange's end) ends the run at once.
DownloadRun SendProgramRows(TfrmEdit& edit, const DownloadSource& source, Exchange& exchange) {
    const QList<QByteArray>& rows = source.rows;
    const int baudIndex = frmSetup->cmbBaudrate->ItemIndex();
    const int series = SeriesIndex();
    RowStatus status(*edit.memSub, source.name);
    // However the run stops, the status names the row that was in progress.
    const auto stopped = qScopeGuard([&status] { status.ShowNow(); });
    RowsOut out;
    ui::ProcessPendingMessages();
    for (int n = 0;; ++n) {
        // Every row's waits let the user's clicks and a lost line through before the next row.
        if (!exchange.Running()) return {RunEnd::LineLost, n};
        if (exchange.StopRequested()) return {RunEnd::Cancelled, n};
        exchange.StepTo(n, rows.size());
        if (rows.isEmpty() && !source.fromFile) frmCommCancel->ProgressBar1->setValue(100);
        if (const auto heard = out.Heard()) return *heard;
        if (n >= rows.size()) {
            // A refusal of the last rows comes after they were sent: the run is complete only
            // once the driver has taken them all and answered the line that settles them.
            if (n > 0) {
                const Ticket last = out.Last();
                const bool written = !last || exchange.WaitWritten(last);
                const bool settled = written && exchange.WaitInStep();
                if (!exchange.Running()) return {RunEnd::LineLost, n - 1};
                if (!written) return {RunEnd::Cancelled, n - 1};
                if (const auto heard = out.Heard()) return *heard;
                if (!settled) return {RunEnd::NoReadBack, n - 1};
            }
            return {RunEnd::Completed, n};
        }
        const QByteArray& row = rows[n];
        if (DriverAnsweredRow(*edit.memSub)) return {RunEnd::DataError, n};

        const Ticket write = exchange.Send(row + '\r', ridEditReply);
        if (!write) return {RunEnd::LineLost, n};
        out.Sent(n, write);
        status.Sent(n);

        // The pace ends at its limit or at the driver's first line after the row; an answer to
        // the row is the driver refusing it.
        WaitPace(*edit.Timer2, editor::PaceTicks(baudIndex, int(row.size())), write, exchange);
        if (!exchange.Running()) return {RunEnd::LineLost, n};
        if (write->Answered() || DriverAnsweredRow(*edit.memSub)) return {RunEnd::DataError, n};
        if (editor::ClearsProgram(row)) WaitTicks(*edit.Timer1, kClearPauseTicks);
        if (!editor::NeedsReadBack(row, series)) continue;

        // The read-back's time counts from when it goes out, after the line has been brought
        // back in step behind the row.
        const std::optional<QByteArray> readBack = exchange.AskAndWait(
            QByteArray("RRX\r"), (kReadBackTicks + 1) * edit.Timer2->interval());
        if (!exchange.Running()) return {RunEnd::LineLost, n};
        if (const auto heard = out.Heard()) return *heard;
        if (!readBack) return {RunEnd::NoReadBack, n};
        if (*readBack != row) return {RunEnd::DataError, n};
    }
}

// The largest compiled program: 6000 rows of 29 characters and CR LF.
constexpr qint64 kMaxCompiledBytes = 6000 * 31;

struct CompiledProgram {
    bool opened = false;
    bool tooLarge = false; // no compiler writes a file this large: not a compiled program
    QList<QByteArray> rows;
};

CompiledProgram ReadCompiledProgram(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.read(kMaxCompiledBytes + 1);
    if (bytes.size() > kMaxCompiledBytes) return {true, true, {}};
    return {true, false, editor::CompiledRows(bytes)};
}

} // namespace

void TfrmEdit::ShowFailedRow(const QString& document, int row, const QString& text) {
    ReplaceFirstLine(*memSub, QString("[エラー] %1 の %2行目").arg(document).arg(row + 1));
    memSub->appendPlainText("[文字列] " + text);
}

void TfrmEdit::ShowUnsendableRow(const QString& document, int row, const QString& text) {
    ShowFailedRow(document, row, text);
    ui::ShowMessage(QString("%1 の %2行目の転送文字列に送信できない文字「%3」があります。\n"
                            "再度テキストを確認してください。")
                        .arg(document)
                        .arg(row + 1)
                        .arg(ui::CharacterName(ui::UncarriedCharacter(text))),
                    "送信データエラー", ui::MsgIcon::Information);
}

void TfrmEdit::WireProgramTransfers() {
    for (QAction* item : {RunSendItem, btnPopupDownLoadProgram})
        ui::Connect(item, &QAction::triggered, this,
                    [this, item] { btnPopupDownLoadProgramClick(item); });
    for (QAction* item : {RunUpLoadMailBox, btnPopupUpLoadProgram})
        ui::Connect(item, &QAction::triggered, this,
                    [this, item] { btnPopupUpLoadProgramClick(item); });
}

// ---- Download ----

void TfrmEdit::btnPopupDownLoadProgramClick(QObject*) {
    if (TransferRunning()) return TellAnotherTransferRuns();
    HideDriverScreensForTransfer();
    DownLoadProgram();
}

namespace {

// The source by the active tab's caption: compiled text in the editor, the compiled program of
// a source or of another document, or the editor's text after a confirmation. Nothing when the
// user declined or the compiled program is missing (the message is shown here).
std::optional<DownloadSource> ChooseSource(const QString& caption, const QString& fileName,
                                           const QStringList& paneLines) {
    const DownloadSource editorText{caption, editor::EditorRows(paneLines), false, paneLines};
    if (caption.contains(".mbx") || caption.contains(".MBX")) return editorText;
    const std::optional<editor::CompileFiles> files = editor::CompileFileNames(caption, fileName);
    const QString compiled = files ? files->compiled : QString();
    const CompiledProgram program = ReadCompiledProgram(compiled);
    if (program.opened && !program.tooLarge)
        return DownloadSource{QFileInfo(compiled).fileName(), program.rows, true, {}};
    if (program.opened || caption.contains(".mb") || caption.contains(".MB")) {
        ui::ShowWarning("コンパイルしてください。", "ダウンロード中止");
        return std::nullopt;
    }
    const ui::MsgResult answer =
        ui::ShowMessage("コンパイルされていないファイルを転送します。よろしいですか？", "警告",
                        ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel);
    if (answer != ui::MsgResult::Yes) return std::nullopt;
    return editorText;
}

} // namespace

void TfrmEdit::DownLoadProgram() {
    if (!editor::DesignatedAxisAnswered()) {
        ui::ShowWarning("通信確立が未確認の軸にダウンロードしようとしています。\n設定画面にて通信確"
                        "立の確認及び軸指定の確認をしてください。",
                        "警告");
        return;
    }
    memSub->clear();
    ui::ProcessPendingMessages();

    const std::optional<DownloadSource> source =
        ChooseSource(TabCaption(ActiveTab()), DocFileName[ActiveTab()], memMain2->Lines());
    if (!source) return;
    const QList<QByteArray>& rows = source->rows;

    // Every row is checked before the first is sent, so a bad row never leaves half a program
    // in the driver.
    const editor::RowCheck check =
        source->fromFile ? editor::CheckRows(rows, false) : CheckEditorLines(source->lines);
    const auto showFailedRow = [&](int n) {
        memSub->clear();
        ShowFailedRow(source->name, n, source->RowText(n));
    };
    switch (check.fault) {
    case editor::RowFault::None:
        break;
    case editor::RowFault::TooLong:
        showFailedRow(check.row);
        ui::ShowMessage("転送文字列が29文字を超えています。\n再度テキストを確認してください。",
                        "送信データエラー", ui::MsgIcon::Information);
        return;
    case editor::RowFault::Empty:
        showFailedRow(check.row);
        ui::ShowWarning("コンパイルしてください。", "ダウンロード中止");
        return;
    case editor::RowFault::BadCharacter:
        memSub->clear();
        ShowUnsendableRow(source->name, check.row, source->RowText(check.row));
        return;
    }

    // The progress window is the run's from its start, before the "MBCL" question: with another
    // transfer showing it, nothing goes out (the user has been told).
    Exchange& exchange = *programDownload_;
    if (!exchange.Start({true, !source->fromFile, nullptr})) return;
    downloadRunning_ = true;
    const auto running = qScopeGuard([this] {
        downloadRunning_ = false;
        Timer2->SetEnabled(false);
    });
    DownloadRun run;
    // The driver's model text, asked first, brings the line in step (a late answer to an earlier
    // question is never taken for a refusal) and lets the line settle each row behind it.
    if (!exchange.AskAndWait(QByteArray("VER\r"), TmdlGeneral::kReplyLimitMs)) {
        run.end = exchange.Running() ? RunEnd::NoReadBack : RunEnd::LineLost;
    } else {
        if (ui::AskYesNo("MBCLコマンドをドライバへ送信しますか。", "確認") &&
            exchange.Write(QByteArray("MBCL\r")))
            WaitTicks(*Timer1, kClearPauseTicks);
        const BusyCursor busy;
        run = SendProgramRows(*this, *source, exchange);
    }
    Timer2->SetEnabled(false);

    // Line 0 holds the status; a driver reply stands below it, the row comes last.
    const auto failedAt = [&](int n) { ShowFailedRow(source->name, n, source->RowText(n)); };
    // A lost line or a failed send the exchange has told of itself; the others end with a
    // cancel of it (which takes the progress window away) and their own message.
    if (run.end != RunEnd::Completed) exchange.Cancel();
    switch (run.end) {
    case RunEnd::Completed:
        memSub->clear();
        exchange.Finish(TfrmCommCancel::Direction::Download);
        break;
    case RunEnd::Cancelled:
    case RunEnd::LineLost:
        break; // the status names the row in progress
    case RunEnd::DataError:
        failedAt(run.row);
        ui::ShowMessage("KASOがデータエラーを検知しました。\n再度テキストを確認してください。",
                        "受信データエラー", ui::MsgIcon::Information);
        break;
    case RunEnd::NoReadBack:
        ui::ShowWarning("ドライバから返信がありませんでした。", "ﾀｲﾑｱｳﾄｴﾗ-");
        break;
    }
}

// ---- Upload ----

void TfrmEdit::btnPopupUpLoadProgramClick(QObject* sender) {
    if (sender == RunUpLoadMailBox || sender == btnPopupUpLoadProgram)
        StartProgramUpload();
    else
        ReceiveProgramLine();
}

void TfrmEdit::StartProgramUpload() {
    // Another transfer holds the line; a data upload also holds the hidden collecting table.
    if (TransferRunning()) return TellAnotherTransferRuns();
    HideDriverScreensForTransfer();
    UploadKind = 0;
    if (!editor::DesignatedAxisAnswered()) {
        ui::ShowWarning("通信確立が未確認の軸のプログラムをアップロードしようとしています。\n設定画"
                        "面にて通信確立の確認及び軸指定の確認をしてください。",
                        "警告");
        return;
    }
    // The upload fills a document of its own, never the one on screen.
    if (UsedSlots >= kAllSlots) {
        ui::ShowWarning("これ以上ﾌｧｲﾙを開けません。", "警告");
        return;
    }
    if (memMain2->Modified()) {
        DocModified[CurrentDoc] = 1;
        memMain2->SetModified(false);
    }
    // With another transfer showing the progress window, nothing is opened or sent (the user
    // has been told).
    if (!programUpload_->Start({true, false, nullptr})) return;

    const int slot = TakeFreeSlot();
    OpenUploadDocument(slot, kUploadCaption);
    memUploadData->setEnabled(true);
    memUploadData->show();
    MaxLineWidth = 0;
    uploadSlot_ = slot;

    // The upload has no reply time-out: the progress window's cancel ends a wait.
    if (programUpload_->Write(QByteArray("FLPT=0\r"))) programUpload_->Ask(QByteArray("FL\r"));
}

void TfrmEdit::ReceiveProgramLine() {
    if (uploadSlot_ < 0) return; // a late reply after the end changes nothing
    const QByteArray line = mdlGeneral->LastReply().left(kUploadLineLimit);
    if (!line.isEmpty() && static_cast<unsigned char>(line[0]) == 0xFF)
        return programUpload_->Finish(TfrmCommCancel::Direction::Upload);
    if (programUpload_->StopRequested()) return programUpload_->Cancel();
    const std::optional<QString> row = editor::KeptReply(line);
    if (!row) {
        ui::ShowWarning(editor::UnkeptReplyMessage(line, memUploadData->LineCount() + 1), "警告");
        return programUpload_->Cancel();
    }
    memUploadData->AddLine(*row);
    if (programUpload_->Ask(QByteArray("FL+\r"))) ScrollUploadTable();
}

void TfrmEdit::ScrollUploadTable() {
    const int last = memUploadData->LineCount() - 1;
    const int widest = ui::EditorPane::ExpandTabLength(memUploadData->Line(last));
    MaxLineWidth = std::max(MaxLineWidth, widest);
    const bool tall = memUploadData->LineCount() > memUploadData->VisibleRows() - 1;
    const bool wide = MaxLineWidth > memUploadData->VisibleCols();
    using Bars = ui::EditorPane::ScrollBars;
    memUploadData->SetScrollBars(tall && wide ? Bars::Both
                                 : tall       ? Bars::Vertical
                                 : wide       ? Bars::Horizontal
                                              : Bars::None);
    memUploadData->SetRowCol(std::max(0, last), 0);
    memUploadData->ensureCursorVisible();
    SetPanelText(0,
                 QString("%1:  %2 ").arg(memUploadData->Row() + 1).arg(memUploadData->Col() + 1));
}

// However the upload ended (its exchange has let go of the line and told the user of a failure).
void TfrmEdit::EndProgramUpload(bool completed) {
    const int slot = uploadSlot_;
    if (slot < 0) return;
    uploadSlot_ = -1;
    mdlGeneral->ReleaseLine(ridProgramUpload);

    // The rows go to the upload's own document, wherever the user is now.
    const QString text = memUploadData->Text();
    const bool stillOpen = (UsedSlots & (1 << slot)) != 0 && TabCaption(slot) == kUploadCaption;
    if (stillOpen) {
        if (ActiveTab() == slot)
            ShowUploadedText(text, !completed);
        else
            DocText[slot] = text;
    }
    memUploadData->SetScrollBars(ui::EditorPane::ScrollBars::None);
    memUploadData->setEnabled(false);
    memUploadData->hide();
}

void TfrmEdit::ShowUploadedText(const QString& text, bool caretOnLastLine) {
    memMain2->SetText(text);
    memMain2->SetModified(false);
    RecomputeMaxLineWidth();
    RenumberSteps();
    memMain2Change(this);
    if (caretOnLastLine) {
        memMain2->SetRowCol(std::max(0, memMain2->LineCount() - 1), 0);
        memMain2->ensureCursorVisible();
    }
    UpdateCaretPanel();
}
