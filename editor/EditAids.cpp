// The editing aids of the editor window: the step-number gutter kept row for row beside the
// pane, renumbering after the edits that can change the steps, the caret and typing-mode panels,
// the scroll bars, the wheel, the edit commands, the font and printing.
#include "EditPrint.h"
#include "EditSteps.h"
#include "UnitEdit.h"

#include "link/UnitGeneral.h"
#include "ui/DpiScaling.h"

#include <algorithm>

namespace {

constexpr int kEnter = 13;
constexpr int kBackspace = 8;
constexpr int kInsert = 45;
constexpr int kDelete = 46;
constexpr int kWheelLines = 2;

// Whether the first of one of the step characters in the line starts at the display column.
bool StepCharacterAt(const QString& line, int column, const QString& characters) {
    const QList<int> columns = ui::EditorPane::ColumnsOf(line);
    for (const QChar ch : characters) {
        const qsizetype first = line.indexOf(ch);
        if (first >= 0 && columns[first] == column) return true;
    }
    return false;
}

const QString kStepCharacters = "'()[]";

} // namespace

void TfrmEdit::RenumberSteps() {
    const editor::StepNumbering numbering = editor::NumberSteps(memMain2->Lines());
    EventStepCount = numbering.eventSteps;
    SequenceStepCount = numbering.sequenceSteps;
    // Laying out the gutter again costs more than comparing its rows.
    if (memMain->Lines() != numbering.gutterRows) memMain->SetLines(numbering.gutterRows);
    memMain->SetTopRow(memMain2->TopRow());
}

void TfrmEdit::memMain2Change(QObject* sender) {
    if (sender != this) {
        // Any change of the text can make or unmake a step (typing over a selection, redo, a
        // paste by key or mouse, a drop, replace all), so the gutter follows every change.
        RenumberSteps();
        // A line typed wider than any before gets its scroll bar at once.
        MaxLineWidth = std::max(MaxLineWidth,
                                ui::EditorPane::ExpandTabLength(memMain2->Line(memMain2->Row())));
    }
    memMain->SetTopRow(memMain2->TopRow());
    UpdateScrollBars();
}

void TfrmEdit::UpdateScrollBars() {
    const int lines = memMain2->LineCount();
    const bool tall = lines > memMain2->VisibleRows() - 1;
    const bool wide = MaxLineWidth >= memMain2->VisibleCols() - 1;
    using Bars = ui::EditorPane::ScrollBars;
    if (!tall && !wide) {
        memMain2->SetTopCol(0);
        memMain2->SetTopRow(0);
    }
    memMain2->SetScrollBars(tall && wide ? Bars::Both
                            : tall       ? Bars::Vertical
                            : wide       ? Bars::Horizontal
                                         : Bars::None);
    LayOutGutter();
}

void TfrmEdit::UpdateCaretPanel() {
    SetPanelText(0, QString("%1:  %2 ").arg(memMain2->Row() + 1).arg(memMain2->Col() + 1));
}

void TfrmEdit::memMain2KeyDown(const ui::EditorPane::Key& key) {
    SavedLineCount = memMain2->RowCount();
    RenumberPending = false;
    const bool empty = memMain2->IsEmpty();
    const int row = memMain2->Row();
    const int col = memMain2->Col();
    const QString line = memMain2->Line(row);
    // The typed character decides, whatever the keyboard layout: a line end, a quote or a
    // closing bracket can make or unmake a step.
    if (key.code == kEnter || key.text == "'" || key.text == ")" || key.text == "]") {
        RenumberPending = true;
    } else if (key.code == kDelete) {
        RenumberPending = !empty && !(row == SavedLineCount && col == 0) &&
                          StepCharacterAt(line, col, kStepCharacters);
    } else if (key.code == kBackspace) {
        RenumberPending = col == 0 || StepCharacterAt(line, col - 1, kStepCharacters);
    }
    if (PanelText(2) == kOverwriteText && !empty && StepCharacterAt(line, col, "'"))
        RenumberPending = true;
}

void TfrmEdit::memMain2KeyUp(const ui::EditorPane::Key& key) {
    UpdateCaretPanel();
    if (memMain2->Modified()) MarkModifiedByUser();
    if (key.code == kInsert) {
        const bool overwrite = PanelText(2) == kInsertText;
        SetPanelText(2, overwrite ? kOverwriteText : kInsertText);
        memMain2->SetOverWrite(overwrite);
    }
    if (RenumberPending) RenumberSteps();
    memMain->SetTopRow(memMain2->TopRow());
}

void TfrmEdit::memMain2MouseDown() {
    UpdateCaretPanel();
}

void TfrmEdit::memMain2TopRowChange() {
    memMain->SetTopRow(memMain2->TopRow());
}

bool TfrmEdit::EditorWindowProc(int wheelDelta) {
    // Each wheel message scrolls two lines, and only when the text is taller than the pane.
    if (memMain2->LineCount() > memMain2->VisibleRows() - 1) {
        const int step = wheelDelta > 0 ? -kWheelLines : kWheelLines;
        memMain2->SetTopRow(memMain2->TopRow() + step);
        UpdateCaretPanel();
    }
    return true;
}

void TfrmEdit::EditUndo() {
    memMain2->Undo();
    RenumberSteps();
    memMain2Change(this);
    memMain2->viewport()->update();
}

void TfrmEdit::EditCut() {
    memMain2->CutToClipboard();
    RenumberSteps();
    memMain2Change(this);
    memMain2->viewport()->update();
}

void TfrmEdit::EditCopy() {
    memMain2->CopyToClipboard();
}

void TfrmEdit::EditPaste() {
    memMain2->PasteFromClipboard();
    RenumberSteps();
    memMain2Change(this);
    memMain2->viewport()->update();
}

void TfrmEdit::FontNameClick() {
    const QFont shown = ui::FontInPoints(memMain2->font(), ui::DpiFactor(*this));
    if (std::optional<QFont> chosen = ui::ChooseFixedPitchFont(shown, this)) {
        QFont font = *chosen;
        font.setBold(false);
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
        ApplyPaneFont(font);
    }
    memMain->SetTopRow(memMain2->TopRow());
}

void TfrmEdit::FilePrintSetup() {
    mdlGeneral->PrintDialog1->Execute(this);
}

void TfrmEdit::FilePrint() {
    ui::PrintDialog& dialog = *mdlGeneral->PrintDialog1;
    if (!dialog.Execute(this)) return;
    const QStringList lines = memMain2->Lines();
    editor::PrintDocument(dialog.Printer(), memMain2->font().family(), TabCaption(CurrentDoc),
                          editor::NumberSteps(lines).gutterRows, lines);
}
