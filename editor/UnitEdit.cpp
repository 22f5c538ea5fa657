// The editor window's construction: menus, tool bars, panes, tabs and status bar, the wiring of
// every handler, and the window-level handlers. Documents, step numbers, find and replace,
// printing and the compile command live in the Edit*.cpp files beside it.
#include "UnitEdit.h"

#include "EditFind.h"
#include "UnitDownload.h"
#include "UnitUpload.h"
#include "link/ReplyRouting.h"
#include "shell/UnitHelp.h"
#include "shell/UnitMain.h"
#include "ui/Codec.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TfrmEdit* frmEdit = nullptr;

namespace {

constexpr int kPanelWidth = 80;
// The reply pane's height at start, which is also the least the splitter leaves it.
constexpr int kReplyPaneHeight = 42;
constexpr int kToolButtonWidth = 75;
// The speed buttons are as wide as their captions with this much room around them, so that
// all of them and the tool bar's buttons fit the window's designed width.
constexpr int kSpeedButtonPadding = 8;

QAction* AddItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut = {}) {
    QAction* item = menu->addAction(caption);
    item->setShortcut(shortcut);
    return item;
}

QToolButton* TextButton(QWidget* parent, const QString& caption, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QToolButton* ToolButton(QWidget* parent, const QString& caption, const QString& hint) {
    QToolButton* button = TextButton(parent, caption, hint);
    button->setMinimumWidth(ui::DpiFactor(*parent) * kToolButtonWidth);
    return button;
}

QToolButton* SpeedButton(QWidget* parent, const QString& caption) {
    QToolButton* button = TextButton(parent, caption, caption);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(caption) +
                          ui::DpiFactor(*parent) * kSpeedButtonPadding);
    return button;
}

} // namespace

TfrmEdit::TfrmEdit(QWidget* owner)
    : ui::Form(owner), memMain2(new ui::EditorPane(this)), memMain(new ui::EditorPane(memMain2)),
      memUploadData(new ui::EditorPane(memMain2)), memSub(new QPlainTextEdit(this)),
      pgeEdit(new QTabBar(this)), Splitter1(new QSplitter(Qt::Vertical, this)),
      StatusBar1(new QStatusBar(this)), FindDialog(new TFindDialog(this)),
      ReplaceDialog(new TReplaceDialog(this)), Timer1(new ui::Timer(100, this)),
      Timer2(new ui::Timer(10, this)) {
    setWindowTitle("編集");
    auto* menus = new QMenuBar(this);
    BuildMenus(menus);
    auto* speedBar = new QWidget(this);
    speedBar->setFixedHeight(ui::DpiFactor(logicalDpiX()) * 33);
    BuildTools(speedBar);
    BuildPanes();

    auto* editArea = new QWidget(Splitter1);
    auto* editLayout = new QVBoxLayout(editArea);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editLayout->setSpacing(0);
    editLayout->addWidget(pgeEdit);
    editLayout->addWidget(memMain2);
    Splitter1->addWidget(editArea);
    Splitter1->addWidget(memSub);
    // The bar and the panes' heights at start at the factor, as the rest of the window.
    const int factor = ui::DpiFactor(*this);
    Splitter1->setHandleWidth(factor * 3);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setSizes({factor * 253, factor * kReplyPaneHeight});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menus);
    layout->addWidget(speedBar);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(StatusBar1);

    WireHandlers();
    WireDataTransfers();
    WireProgramTransfers();
    SetReplyReceiver(ridEditReply, this,
                     [this](QObject*) { AddReply(ui::cp932::Decode(mdlGeneral->LastReply())); });
    programUpload_ = std::make_unique<Exchange>(this, ridProgramUpload);
    programUpload_->OnAnswer = [this](const QByteArray&) {
        btnPopupUpLoadProgramClick(mdlGeneral);
    };
    programUpload_->OnEnd = [this](Exchange::End end) {
        EndProgramUpload(end == Exchange::End::Done);
    };
    // The download tells of a missing read-back itself.
    programDownload_ = std::make_unique<Exchange>(this, ridNone);
    programDownload_->notAnswered = Exchange::Quiet();
    dataDownload_ = std::make_unique<Exchange>(this, ridNone);
    dataUpload_ = std::make_unique<Exchange>(this, ridDataUpload);
    dataUpload_->OnAnswer = [this](const QByteArray&) { ReceiveUpLoadData(mdlGeneral); };
    dataUpload_->OnEnd = [this](Exchange::End end) {
        if (end != Exchange::End::Done) EndDataUpload();
    };
    resize(630, 349);
    ui::ScaleToDpi(*this);

    // The first document, which carries a bare file name of its own.
    for (int slot = 0; slot < kMaxDocuments; ++slot)
        ShowTab(slot, false);
    FileNew();
    DocFileName[0] = kNewFileCaption;
    SetPanelText(0, "   1:  1 ");
}

TfrmEdit::~TfrmEdit() = default;

void TfrmEdit::BuildMenus(QMenuBar* menus) {
    QMenu* file = menus->addMenu("ﾌｧｲﾙ(&F)");
    FileNewItem = AddItem(file, "新規作成(&N)");
    FileOpenItem = AddItem(file, "開く(&O)...");
    FileSaveItem = AddItem(file, "上書き保存(&S)", QKeySequence("Ctrl+S"));
    FileSaveAsItem = AddItem(file, "名前を付けて保存(&A)...");
    FileCloseItem = AddItem(file, "閉じる(&C)");
    file->addSeparator();
    FilePrintSetupItem = AddItem(file, "ﾌﾟﾘﾝﾀの設定(&R)...");
    FilePrintItem = AddItem(file, "印刷(&P)...");
    file->addSeparator();
    FileExitItem = AddItem(file, "終了(&X)");

    QMenu* edit = menus->addMenu("編集(&E)");
    EditUndoItem = AddItem(edit, "元に戻す(&U)", QKeySequence("Ctrl+Z"));
    edit->addSeparator();
    EditCutItem = AddItem(edit, "切り取り(&T)", QKeySequence("Ctrl+X"));
    EditCopyItem = AddItem(edit, "ｺﾋﾟｰ(&C)", QKeySequence("Ctrl+C"));
    EditPasteItem = AddItem(edit, "貼り付け(&P)", QKeySequence("Ctrl+V"));

    QMenu* find = menus->addMenu("検索(&S)");
    FindSearch = AddItem(find, "検索(&F)...", QKeySequence("Ctrl+F"));
    FindReplace = AddItem(find, "置換(&R)...", QKeySequence("Ctrl+R"));

    QMenu* format = menus->addMenu("書式(&O)");
    FontName = AddItem(format, "Font(&F)...");

    // Ctrl+V, Ctrl+X and Ctrl+Z belong to the edit items, which stand first; the transfer items
    // that carry them too only show them.
    QMenu* run = menus->addMenu("実行(&R)");
    RunSendItem = AddItem(run, "ﾌﾟﾛｸﾞﾗﾑのﾀﾞｳﾝﾛｰﾄﾞ(&D)...", QKeySequence("Ctrl+D"));
    RunDownloadItem = AddItem(run, "内部変数のﾀﾞｳﾝﾛｰﾄﾞ(&V)...\tCtrl+V");
    RunDownloadCamItem = AddItem(run, "ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ(&U)...", QKeySequence("Ctrl+U"));
    RunDownloadDataItem = AddItem(run, "補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ(&W)...", QKeySequence("Ctrl+W"));
    RunUpLoadMailBox = AddItem(run, "ﾌﾟﾛｸﾞﾗﾑのｱｯﾌﾟﾛｰﾄﾞ(&A)", QKeySequence("Ctrl+A"));
    RunUploadItem = AddItem(run, "内部変数のｱｯﾌﾟﾛｰﾄﾞ(&P)...", QKeySequence("Ctrl+P"));
    RunUpLoadLogData = AddItem(run, "ﾛｷﾞﾝｸﾞﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ...\tCtrl+X");
    RunUpLoadCam = AddItem(run, "ｶﾑﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ(&Y)...", QKeySequence("Ctrl+Y"));
    RunUpLoadData = AddItem(run, "補正ﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ...\tCtrl+Z");
    run->addSeparator();
    RunCompileKey = new QAction(this);
    RunCompileKey->setShortcut(QKeySequence(Qt::Key_F8));
    addAction(RunCompileKey);
    RunCompileItem = AddItem(run, "ｺﾝﾊﾟｲﾙ(&C)", QKeySequence(Qt::Key_F9));

    QMenu* help = menus->addMenu("ﾍﾙﾌﾟ(&H)");
    HelpContentsItem = AddItem(help, "目次(&C)");
    HelpSearchItem = AddItem(help, "ｷｰﾜｰﾄﾞで検索(&S)...");
    HelpHowToItem = AddItem(help, "ﾍﾙﾌﾟの使い方(&H)");
    for (QAction* item : {HelpContentsItem, HelpSearchItem, HelpHowToItem})
        item->setEnabled(false);
    help->addSeparator();
    HelpAboutItem = AddItem(help, "ﾊﾞｰｼﾞｮﾝ情報(&A)...");

    PopupMenu2 = new QMenu(this);
    btnPopupDownLoadProgram = PopupMenu2->addAction("ﾌﾟﾛｸﾞﾗﾑのﾀﾞｳﾝﾛｰﾄﾞ");
    btnPopupDownLoad = PopupMenu2->addAction("内部変数のﾀﾞｳﾝﾛｰﾄﾞ");
    btnPopupDownLoadCamData = PopupMenu2->addAction("ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    btnPopupDownLoadCorrectData = PopupMenu2->addAction("補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    PopupMenu1 = new QMenu(this);
    btnPopupUpLoadProgram = PopupMenu1->addAction("ﾌﾟﾛｸﾞﾗﾑのｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupUpLoad = PopupMenu1->addAction("内部変数のｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupUpLoadLogData = PopupMenu1->addAction("ﾛｷﾞﾝｸﾞﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupUpLoadCamData = PopupMenu1->addAction("ｶﾑﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupUpLoadCorrectData = PopupMenu1->addAction("補正ﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
}

void TfrmEdit::BuildTools(QWidget* bar) {
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    const std::pair<QString, QAction*> speedButtons[] = {
        {"新規作成", FileNewItem}, {"開く", FileOpenItem},     {"上書き保存", FileSaveItem},
        {"閉じる", FileCloseItem}, {"印刷", FilePrintItem},    {"切り取り", EditCutItem},
        {"ｺﾋﾟｰ", EditCopyItem},    {"貼り付け", EditPasteItem}};
    for (const auto& [caption, item] : speedButtons) {
        QToolButton* button = SpeedButton(bar, caption);
        connect(button, &QToolButton::clicked, item, &QAction::trigger);
        layout->addWidget(button);
    }
    layout->addSpacing(8);
    btnSendToKaso = ToolButton(bar, "ﾀﾞｳﾝﾛｰﾄﾞ", "ＫＡＳＯに送る");
    btnSendToKaso->setMenu(PopupMenu2);
    btnSendToKaso->setPopupMode(QToolButton::InstantPopup);
    btnUpload = ToolButton(bar, "ｱｯﾌﾟﾛｰﾄﾞ", "ＫＡＳＯのデータをアップロード");
    btnUpload->setMenu(PopupMenu1);
    btnUpload->setPopupMode(QToolButton::InstantPopup);
    btnMailC = ToolButton(bar, "ｺﾝﾊﾟｲﾙ", "現在のﾌｧｲﾙをｺﾝﾊﾟｲﾙ");
    for (QToolButton* button : {btnSendToKaso, btnUpload, btnMailC})
        layout->addWidget(button);
    layout->addStretch();
}

void TfrmEdit::BuildPanes() {
    for (int slot = 0; slot < kMaxDocuments; ++slot)
        pgeEdit->addTab(QString());
    pgeEdit->setExpanding(false);

    const int factor = ui::DpiFactor(*this);
    QFont font(ui::kMonospaceFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(9);
    font = ui::FontInPixels(font, factor);
    memMain2->setFont(font);
    memMain2->setUndoRedoEnabled(true);
    memMain2->SetRowNumbersShown(true);
    memMain2->SetRulerShown(true);
    memMain2->SetMarksShown(true);

    memMain->setReadOnly(true);
    memMain->setEnabled(false);
    memMain->setFrameShape(QFrame::NoFrame);
    QPalette gutter = memMain->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        gutter.setColor(group, QPalette::Base, QColor(192, 192, 192));
        gutter.setColor(group, QPalette::Text, ui::WindowTextColor());
    }
    memMain->setPalette(gutter);

    memUploadData->setEnabled(false);
    memUploadData->hide();

    memSub->setReadOnly(true);
    memSub->setUndoRedoEnabled(false); // replies and status lines: nothing to undo
    memSub->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont replyFont(ui::kProportionalFont);
    replyFont.setPointSize(9);
    memSub->setFont(ui::FontInPixels(replyFont, factor));
    memSub->setMinimumHeight(factor * kReplyPaneHeight);

    for (int panel = 0; panel < 3; ++panel) {
        panels_[panel] = new QLabel(StatusBar1);
        panels_[panel]->setFixedWidth(factor * kPanelWidth);
        StatusBar1->addWidget(panels_[panel]);
    }
    panels_[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetPanelText(2, kInsertText);
    ApplyPaneFont(font);
}

void TfrmEdit::WireHandlers() {
    const std::pair<QAction*, void (TfrmEdit::*)()> commands[] = {
        {FileNewItem, &TfrmEdit::FileNew},         {FileOpenItem, &TfrmEdit::FileOpen},
        {FileSaveItem, &TfrmEdit::FileSave},       {FileSaveAsItem, &TfrmEdit::FileSaveAs},
        {FileCloseItem, &TfrmEdit::FileClose},     {FilePrintSetupItem, &TfrmEdit::FilePrintSetup},
        {FilePrintItem, &TfrmEdit::FilePrint},     {FileExitItem, &TfrmEdit::FileExit},
        {EditUndoItem, &TfrmEdit::EditUndo},       {EditCutItem, &TfrmEdit::EditCut},
        {EditCopyItem, &TfrmEdit::EditCopy},       {EditPasteItem, &TfrmEdit::EditPaste},
        {FindSearch, &TfrmEdit::FindSearchClick},  {FindReplace, &TfrmEdit::FindReplaceClick},
        {FontName, &TfrmEdit::FontNameClick},      {RunCompileItem, &TfrmEdit::btnMailCClick},
        {RunCompileKey, &TfrmEdit::btnMailCClick}, {HelpAboutItem, &TfrmEdit::HelpAbout}};
    for (const auto& [item, handler] : commands)
        ui::Connect(item, &QAction::triggered, this,
                    [this, handler = handler] { (this->*handler)(); });
    ui::Connect(btnMailC, &QToolButton::clicked, this, [this] { btnMailCClick(); });
    ui::Connect(pgeEdit, &QTabBar::currentChanged, this, [this](int index) {
        if (!tabsByCode_) pgeEditChange(index);
    });
    ui::Connect(Splitter1, &QSplitter::splitterMoved, this, [this] { memMain2Change(this); });

    memMain2->OnKeyDown = [this](const ui::EditorPane::Key& key) { memMain2KeyDown(key); };
    memMain2->OnKeyUp = [this](const ui::EditorPane::Key& key) { memMain2KeyUp(key); };
    memMain2->OnMouseDown = [this] { memMain2MouseDown(); };
    memMain2->OnTopRowChange = [this] { memMain2TopRowChange(); };
    memMain2->OnMouseWheel = [this](int delta) { return EditorWindowProc(delta); };
    // The pane takes its size when the window is laid out as it shows, after the window's own
    // resize: the scroll bars follow the room it has then.
    memMain2->OnResize = [this] { UpdateScrollBars(); };
    memMain2->OnChange = [this] {
        MarkModifiedByUser();
        memMain2Change(memMain2);
    };

    FindDialog->OnFind = [this] { FindDialogFind(); };
    ReplaceDialog->OnFind = [this] { ReplaceDialogFind(); };
    ReplaceDialog->OnReplace = [this] { ReplaceDialogReplace(); };

    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    connect(Timer2, &QTimer::timeout, this, [this] { ++Timer2->Tag; });
}

void TfrmEdit::ApplyPaneFont(const QFont& font) {
    for (ui::EditorPane* pane : {memMain, memMain2, memUploadData})
        pane->setFont(ui::FontInPixels(font, ui::DpiFactor(*this)));
    const int width = memMain2->CharWidth();
    for (ui::EditorPane* pane : {memMain2, memUploadData})
        pane->setTabStopDistance(8 * width);
    // The designed margins, at the screen's factor like the font.
    const int factor = ui::DpiFactor(*this);
    gutterWidth_ = 5 * width + 8 * factor;
    memMain2->SetLeftMargin(gutterWidth_ + 4 * factor);
    LayOutGutter();
}

void TfrmEdit::LayOutGutter() {
    // The gutter stands in the pane's left margin, row for row beside the text; the collecting
    // table covers the text area right of it.
    const QRect margin = memMain2->LeftMarginRect();
    memMain->setGeometry(margin.left(), margin.top(), gutterWidth_, margin.height());
    const int tableLeft = margin.left() + gutterWidth_;
    const int tableRight = memMain2->width() - memMain2->frameWidth();
    memUploadData->setGeometry(tableLeft, margin.top(), std::max(0, tableRight - tableLeft),
                               margin.height());
    memMain->SetTopRow(memMain2->TopRow());
}

bool TfrmEdit::HasUnsavedDocuments() const {
    return memMain2->Modified() ||
           std::any_of(DocModified.begin(), DocModified.end(), [](int m) { return m == 1; });
}

QString TfrmEdit::PanelText(int panel) const {
    return panels_.at(panel)->text();
}

void TfrmEdit::SetPanelText(int panel, const QString& text) {
    panels_.at(panel)->setText(text);
}

QString TfrmEdit::TabCaption(int slot) const {
    return pgeEdit->tabText(slot);
}

void TfrmEdit::SetTabCaption(int slot, const QString& caption) {
    pgeEdit->setTabText(slot, caption);
}

void TfrmEdit::ShowTab(int slot, bool visible) {
    tabsByCode_ = true;
    pgeEdit->setTabVisible(slot, visible);
    tabsByCode_ = false;
}

void TfrmEdit::ActivateTab(int slot) {
    tabsByCode_ = true;
    pgeEdit->setCurrentIndex(slot);
    tabsByCode_ = false;
    activeTab_ = slot;
}

void TfrmEdit::resizeEvent(QResizeEvent* event) {
    ui::Form::resizeEvent(event);
    ui::RunGuarded([this] { memMain2Change(this); });
}

void TfrmEdit::FormActivate() {
    setWindowTitle(frmMain->lblAxis->text() + "軸の編集");
}

void TfrmEdit::FileExit() {
    close();
}

void TfrmEdit::FormClose() {
    if (frmUpload) frmUpload->close();
    // The download dialog goes with the editor, and a download with it: no text of a document
    // that is no longer open goes out.
    EndDataDownloadOf(downloadSlot_);
    if (frmDownload) frmDownload->close();
}

void TfrmEdit::AddReply(const QString& line) {
    memSub->appendPlainText("[KASO返信] " + line);
}

void TfrmEdit::HelpAbout() {
    frmHelpabout = new TfrmHelpabout(nullptr);
    frmHelpabout->ShowModal();
    delete frmHelpabout;
    frmHelpabout = nullptr;
}
