#include "EditFind.h"

#include "UnitEdit.h"
#include "ui/CarriedText.h"
#include "ui/Dialogs.h"
#include "ui/Guard.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocument>

namespace {

// The action buttons act only while there is a text to find.
void EnableWithText(QLineEdit* text, std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* button : buttons)
        button->setEnabled(false);
    QObject::connect(text, &QLineEdit::textChanged, text,
                     [buttons = std::vector(buttons)](const QString& t) {
                         for (QPushButton* button : buttons)
                             button->setEnabled(!t.isEmpty());
                     });
}

// A label whose mnemonic takes the focus to its box; a label with none to go to would show the
// "&" itself.
QLabel* BoxLabel(const QString& caption, QLineEdit* box) {
    auto* label = new QLabel(caption, box->parentWidget());
    label->setBuddy(box);
    return label;
}

void Call(const std::function<void()>& handler) {
    if (handler) ui::RunGuarded(handler);
}

} // namespace

TFindDialog::TFindDialog(QWidget* parent)
    : QDialog(parent), edtFind(new QLineEdit(this)), rbUp(new QRadioButton("上へ(&U)", this)),
      rbDown(new QRadioButton("下へ(&D)", this)),
      chkMatchCase(new QCheckBox("大文字と小文字を区別する(&C)", this)),
      chkWholeWord(new QCheckBox("単語単位で探す(&W)", this)),
      btnFindNext(new QPushButton("次を検索(&F)", this)),
      btnCancel(new QPushButton("キャンセル", this)) {
    setWindowTitle("検索");
    rbDown->setChecked(true);
    auto* direction = new QGroupBox("検索する方向", this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(rbUp);
    directionLayout->addWidget(rbDown);
    auto* layout = new QGridLayout(this);
    layout->addWidget(BoxLabel("検索する文字列(&N):", edtFind), 0, 0);
    layout->addWidget(edtFind, 0, 1);
    layout->addWidget(btnFindNext, 0, 2);
    layout->addWidget(chkWholeWord, 1, 0, 1, 2);
    layout->addWidget(btnCancel, 1, 2);
    layout->addWidget(chkMatchCase, 2, 0);
    layout->addWidget(direction, 2, 1);
    EnableWithText(edtFind, {btnFindNext});
    ui::RefuseEmptyPastes(edtFind);
    btnFindNext->setDefault(true);
    connect(btnFindNext, &QPushButton::clicked, this, [this] { Call(OnFind); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::close);
}

ui::EditorPane::SearchOptions TFindDialog::Options() const {
    return {rbDown->isChecked(), chkMatchCase->isChecked(), chkWholeWord->isChecked()};
}

TReplaceDialog::TReplaceDialog(QWidget* parent)
    : QDialog(parent), edtFind(new QLineEdit(this)), edtReplace(new QLineEdit(this)),
      chkMatchCase(new QCheckBox("大文字と小文字を区別する(&C)", this)),
      chkWholeWord(new QCheckBox("単語単位で探す(&W)", this)),
      btnFindNext(new QPushButton("次を検索(&F)", this)),
      btnReplace(new QPushButton("置換して次に(&R)", this)),
      btnReplaceAll(new QPushButton("すべて置換(&A)", this)),
      btnCancel(new QPushButton("キャンセル", this)) {
    setWindowTitle("置換");
    auto* layout = new QGridLayout(this);
    layout->addWidget(BoxLabel("検索する文字列(&N):", edtFind), 0, 0);
    layout->addWidget(edtFind, 0, 1);
    layout->addWidget(btnFindNext, 0, 2);
    layout->addWidget(BoxLabel("置換後の文字列(&P):", edtReplace), 1, 0);
    layout->addWidget(edtReplace, 1, 1);
    layout->addWidget(btnReplace, 1, 2);
    layout->addWidget(chkWholeWord, 2, 0, 1, 2);
    layout->addWidget(btnReplaceAll, 2, 2);
    layout->addWidget(chkMatchCase, 3, 0, 1, 2);
    layout->addWidget(btnCancel, 3, 2);
    EnableWithText(edtFind, {btnFindNext, btnReplace, btnReplaceAll});
    for (QLineEdit* box : {edtFind, edtReplace})
        ui::RefuseEmptyPastes(box);
    btnFindNext->setDefault(true);
    connect(btnFindNext, &QPushButton::clicked, this, [this] { Call(OnFind); });
    connect(btnReplace, &QPushButton::clicked, this, [this] {
        ReplaceAll = false;
        Call(OnReplace);
    });
    connect(btnReplaceAll, &QPushButton::clicked, this, [this] {
        ReplaceAll = true;
        Call(OnReplace);
        ReplaceAll = false;
    });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::close);
}

ui::EditorPane::SearchOptions TReplaceDialog::Options() const {
    return {true, chkMatchCase->isChecked(), chkWholeWord->isChecked()};
}

void TfrmEdit::FindSearchClick() {
    FindDialog->show();
    FindDialog->raise();
}

void TfrmEdit::FindReplaceClick() {
    ReplaceDialog->show();
    ReplaceDialog->raise();
}

void TfrmEdit::ShowNotFound() {
    ui::ShowMessage("検索文字列は見つかりませんでした。", "情報", ui::MsgIcon::Information);
}

void TfrmEdit::FindDialogFind() {
    if (!memMain2->Search(FindDialog->edtFind->text(), FindDialog->Options())) {
        ShowNotFound();
        return;
    }
    memMain2->setFocus();
    UpdateCaretPanel();
}

void TfrmEdit::ReplaceDialogFind() {
    if (!memMain2->Search(ReplaceDialog->edtFind->text(), ReplaceDialog->Options())) {
        ShowNotFound();
        return;
    }
    memMain2->setFocus();
    UpdateCaretPanel();
}

void TfrmEdit::ReplaceDialogReplace() {
    const QString findText = ReplaceDialog->edtFind->text();
    const QString replaceText = ReplaceDialog->edtReplace->text();
    if (findText.isEmpty()) return;
    if (ReplaceDialog->ReplaceAll) {
        ReplaceAll(findText, replaceText);
        return;
    }
    // A match that a previous find has selected is replaced first.
    if (!memMain2->Search(findText, ReplaceDialog->Options(), true)) {
        ShowNotFound();
        return;
    }
    memMain2->setFocus();
    memMain2->SetSelText(replaceText);
    SetPanelText(1, kModifiedText);
    DocModified[CurrentDoc] = 1;
    UpdateCaretPanel();
}

void TfrmEdit::ReplaceAll(const QString& findText, const QString& replaceText) {
    // One pass in text order, going on after each inserted text, so a replacement that contains
    // the text found is not found again.
    QTextDocument* document = memMain2->document();
    QTextCursor edit(document);
    edit.beginEditBlock();
    QTextCursor found = document->find(findText, 0, QTextDocument::FindCaseSensitively);
    bool replaced = false;
    while (!found.isNull()) {
        edit.setPosition(found.selectionStart());
        edit.setPosition(found.selectionEnd(), QTextCursor::KeepAnchor);
        edit.insertText(replaceText);
        replaced = true;
        found = document->find(findText, edit.position(), QTextDocument::FindCaseSensitively);
    }
    edit.endEditBlock();
    if (replaced) {
        memMain2->setFocus();
        memMain2->setTextCursor(edit);
        SetPanelText(1, kModifiedText);
        DocModified[CurrentDoc] = 1;
    }
    UpdateCaretPanel();
}
