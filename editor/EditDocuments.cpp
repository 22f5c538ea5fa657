// The editor's documents: 16 slots over one pane, moved in and out of the pane on tab changes;
// new, open, save, save as and close, and the saving question when the window closes.
#include "UnitEdit.h"

#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <QFileInfo>
#include <QTabBar>

namespace {

const QString kFilter = "ﾒｲﾙﾎﾞｯｸｽﾌｧｲﾙ (*.MB)|*.MB|ﾃﾞｰﾀ(補間、カム、DDA)ﾌｧｲﾙ (*.DAT)|*.DAT|"
                        "ﾊﾟﾗﾒｰﾀﾌｧｲﾙ (*.PRM)|*.PRM|すべてのﾌｧｲﾙ (*.*)|*.*";
const QString kTooManyFiles = "これ以上ﾌｧｲﾙを開けません。";
const QString kNeedsName = "ファイル名を変更して保存してください。";
constexpr QChar kEndOfFileMark(0x1A);

// The lines of a stored text, as the pane would show them.
QStringList LinesOf(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void ShowPlainMessage(const QString& text) {
    ui::ShowMessage(text, "警告", ui::MsgIcon::None, ui::MsgButtons::Ok);
}

} // namespace

int TfrmEdit::TakeFreeSlot() {
    for (int slot = 0; slot < kMaxDocuments; ++slot) {
        if ((UsedSlots & (1 << slot)) == 0) {
            UsedSlots |= 1 << slot;
            return slot;
        }
    }
    return -1;
}

void TfrmEdit::StorePane() {
    DocText[activeTab_] = memMain2->Text();
}

void TfrmEdit::OpenUploadDocument(int slot, const QString& caption) {
    StorePane();
    CurrentDoc = slot;
    memMain2->Clear();
    SetTabCaption(slot, caption);
    DocFileName[slot] = caption;
    ShowTab(slot, true);
    ActivateTab(slot);
    SetPanelText(1, kModifiedText);
    DocModified[slot] = 1;
    memMain->Clear();
    memUploadData->Clear();
    memUploadData->SetTopRow(0);
    memUploadData->SetTopCol(0);
    memUploadData->SetRowCol(0, 0);
}

void TfrmEdit::RestoreDocument(int slot) {
    memMain2->SetText(DocText[slot]);
    // The document's own mark keeps its unsaved state; the pane's flag is for edits from now on.
    memMain2->SetModified(false);
    RecomputeMaxLineWidth();
    RenumberSteps();
    memMain2Change(this);
    UpdateCaretPanel();
}

void TfrmEdit::RecomputeMaxLineWidth() {
    MaxLineWidth = 0;
    for (const QString& line : memMain2->Lines())
        MaxLineWidth = std::max(MaxLineWidth, ui::EditorPane::ExpandTabLength(line));
}

void TfrmEdit::MarkModifiedByUser() {
    DocModified[CurrentDoc] = 1;
    SetPanelText(1, kModifiedText);
}

void TfrmEdit::pgeEditChange(int index) {
    if (index < 0 || index == activeTab_) return;
    StorePane();
    activeTab_ = index;
    CurrentDoc = index;
    RestoreDocument(index);
    SetPanelText(1, DocModified[CurrentDoc] == 1 ? kModifiedText : QString());
}

void TfrmEdit::FileNew() {
    if (UsedSlots >= kAllSlots) {
        ui::ShowWarning(kTooManyFiles, "警告");
        return;
    }
    const int slot = TakeFreeSlot();
    CurrentDoc = slot;
    SetTabCaption(slot, kNewFileCaption);
    ShowTab(slot, true);
    StorePane();
    ActivateTab(slot);
    memMain->Clear();
    memMain2->Clear();
    memMain2->SetModified(false);
    SetPanelText(1, " ");
    MaxLineWidth = 0;
    SavedLineCount = memMain2->RowCount();
    // A running upload keeps the rows it has collected.
    if (!DataUploadRunning() && !ProgramTransferRunning()) memUploadData->Clear();
    memMain2Change(this);
    UpdateCaretPanel();
}

void TfrmEdit::FileOpen() {
    if (memMain2->Modified()) {
        DocModified[CurrentDoc] = 1;
        memMain2->SetModified(false);
    }
    if (UsedSlots >= kAllSlots) {
        ShowPlainMessage(kTooManyFiles);
        return;
    }
    OpenDialog.Filter = kFilter;
    if (OpenDialog.Execute(this)) {
        const QString name = OpenDialog.FileName;
        if (std::find(DocFileName.begin(), DocFileName.end(), name) != DocFileName.end()) {
            ShowPlainMessage("このﾌｧｲﾙは既に開かれています。");
            return;
        }
        // Read before any slot is taken, so a file that cannot be read leaves the documents as
        // they were.
        std::optional<QString> text = ui::EditorPane::ReadTextFromFile(name);
        if (!text) {
            ui::ShowWarning("ファイルが見つかりませんでした。\n指定したファイル名が正しいかどうか確"
                            "認してください。",
                            "警告");
            return;
        }
        // A final end-of-file mark goes; the line that held it goes only when nothing else is on
        // it.
        if (text->endsWith(kEndOfFileMark)) text->chop(1);

        if (UsedSlots == 1 && memMain2->IsEmpty() && TabCaption(CurrentDoc) == kNewFileCaption) {
            CurrentDoc = 0;
        } else {
            StorePane();
            memMain->Clear();
            memMain2->Clear();
            CurrentDoc = TakeFreeSlot();
        }
        DocFileName[CurrentDoc] = name;
        SetTabCaption(CurrentDoc, QFileInfo(name).fileName());
        ShowTab(CurrentDoc, true);
        ActivateTab(CurrentDoc);
        memMain2->SetLines(ui::EditorPane::SplitLines(*text));
        memMain2->SetModified(false);
        DocModified[CurrentDoc] = 0;
        SetPanelText(1, " ");
        RecomputeMaxLineWidth();
        RenumberSteps();
        memMain2Change(this);
        UpdateCaretPanel();
    }
    SavedLineCount = memMain2->RowCount();
    memMain->SetTopRow(memMain2->TopRow());
}

// The file holds what the pane shows: a row with a character that has no CP932 code refuses the
// save before the file is touched, naming the document, the row and the character.
bool TfrmEdit::DocumentSavable(int slot, const QStringList& lines) const {
    for (qsizetype row = 0; row < lines.size(); ++row)
        if (!ui::CheckCarried(lines[row],
                              QString("%1 の %2行目").arg(TabCaption(slot)).arg(row + 1),
                              ui::Carrier::Document))
            return false;
    return true;
}

bool TfrmEdit::WriteDocument(int slot, const QStringList& lines) {
    if (!DocumentSavable(slot, lines)) return false;
    try {
        ui::EditorPane::WriteLinesToFile(DocFileName[slot], lines);
        return true;
    } catch (const ui::Error& e) {
        ui::ShowException(e);
        return false;
    }
}

bool TfrmEdit::SaveCurrentDocument() {
    // A document without a file name has nowhere to go; it is never reported as saved.
    if (DocFileName[CurrentDoc].isEmpty()) {
        ui::ShowWarning(kNeedsName, "警告");
        return false;
    }
    if (!WriteDocument(CurrentDoc, memMain2->Lines())) return false;
    DocModified[CurrentDoc] = 0;
    SetPanelText(1, QString());
    memMain2->SetModified(false);
    return true;
}

void TfrmEdit::FileSave() {
    SaveCurrentDocument();
}

void TfrmEdit::FileSaveAs() {
    const QStringList lines = memMain2->Lines();
    if (!DocumentSavable(CurrentDoc, lines)) return; // before a file is chosen
    SaveDialog.Filter = kFilter;
    if (!SaveDialog.Execute(this)) return;
    const QString previous = DocFileName[CurrentDoc];
    DocFileName[CurrentDoc] = SaveDialog.FileName;
    if (!WriteDocument(CurrentDoc, lines)) {
        DocFileName[CurrentDoc] = previous;
        return;
    }
    SetTabCaption(CurrentDoc, QFileInfo(SaveDialog.FileName).fileName());
    DocModified[CurrentDoc] = 0;
    SetPanelText(1, QString());
    memMain2->SetModified(false);
}

void TfrmEdit::FileClose() {
    if (DocModified[CurrentDoc] == 1 || memMain2->Modified()) {
        const ui::MsgResult answer =
            ui::ShowMessage("このﾌｧｲﾙは保存されていません。 保存しますか？", "警告",
                            ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel);
        if (answer != ui::MsgResult::Yes && answer != ui::MsgResult::No) return;
        // A save that did not happen keeps the document open, so nothing is lost.
        if (answer == ui::MsgResult::Yes && !SaveCurrentDocument()) return;
        DocModified[CurrentDoc] = 0;
        SetPanelText(1, QString());
        memMain2->SetModified(false);
    }
    ClearCurrentDocument();
    CurrentDoc = 0;
    for (int slot = kMaxDocuments - 1; slot > 0; --slot) {
        if (UsedSlots & (1 << slot)) {
            CurrentDoc = slot;
            break;
        }
    }
    ActivateTab(CurrentDoc);
    RestoreDocument(CurrentDoc);
    SetPanelText(1, DocModified[CurrentDoc] == 1 ? kModifiedText : QString());
    memSub->clear();
    SavedLineCount = memMain2->RowCount();
    UpdateCaretPanel();
}

void TfrmEdit::ClearCurrentDocument() {
    // A download of this document ends with it.
    EndDataDownloadOf(CurrentDoc);
    memMain->Clear();
    memMain2->Clear();
    if (!DataUploadRunning() && !ProgramTransferRunning()) memUploadData->Clear();
    DocText[CurrentDoc].clear();
    DocFileName[CurrentDoc].clear();
    DocModified[CurrentDoc] = 0;
    memMain2->SetModified(false);
    if (CurrentDoc != 0) {
        UsedSlots &= ~(1 << CurrentDoc);
        ShowTab(CurrentDoc, false);
        return;
    }
    // Tab 0 always shows, so its slot stays in use as an empty new document: a slot on screen
    // that counted as free would be handed out again under the user's text.
    SetTabCaption(0, kNewFileCaption);
}

bool TfrmEdit::FormCloseQuery() {
    if (!HasUnsavedDocuments()) return true;
    const ui::MsgResult answer =
        ui::ShowMessage("保存されていないﾌｧｲﾙがあります。保存しますか？", "警告",
                        ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel);
    if (answer == ui::MsgResult::Yes) {
        CurrentDoc = activeTab_;
        if (memMain2->Modified()) DocModified[CurrentDoc] = 1;
        StorePane();
        for (int slot = 0; slot < kMaxDocuments; ++slot) {
            if (DocModified[slot] != 1) continue;
            if (DocFileName[slot].isEmpty())
                ui::ShowWarning("新規ﾌｧｲﾙ(ファイル名)は保存されません。", "警告");
            else if (WriteDocument(slot, LinesOf(DocText[slot])))
                DocModified[slot] = 0;
        }
        memMain2->SetModified(false);
        SetPanelText(1, DocModified[CurrentDoc] == 1 ? kModifiedText : QString());
        return true;
    }
    return answer == ui::MsgResult::No;
}
