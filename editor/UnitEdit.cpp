#include "UnitEdit.h"

#include "shell/UnitHelp.h"
#include "ui/Guard.h"

#include <QMenuBar>
#include <QVBoxLayout>
#include <algorithm>

TfrmEdit* frmEdit = nullptr;

TfrmEdit::TfrmEdit(QWidget* owner)
    : ui::Form(owner), memSub(new QPlainTextEdit(this)), Timer1(new ui::Timer(100, this)),
      Timer2(new ui::Timer(10, this)) {
    setWindowTitle("編集");
    memSub->setReadOnly(true);
    auto* menus = new QMenuBar(this);
    QMenu* run = menus->addMenu("実行(&R)");
    RunUpLoadMailBox = run->addAction("ﾌﾟﾛｸﾞﾗﾑのｱｯﾌﾟﾛｰﾄﾞ(&A)");
    RunDownloadItem = run->addAction("内部変数のﾀﾞｳﾝﾛｰﾄﾞ(&V)...");
    RunDownloadCamItem = run->addAction("ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ(&U)...");
    RunDownloadDataItem = run->addAction("補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ(&W)...");
    RunUpLoadCam = run->addAction("ｶﾑﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ(&Y)...");
    RunUpLoadData = run->addAction("補正ﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ...");
    QMenu* popup = new QMenu(this);
    btnPopupUpLoadProgram = popup->addAction("ﾌﾟﾛｸﾞﾗﾑのｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupDownLoad = popup->addAction("内部変数のﾀﾞｳﾝﾛｰﾄﾞ");
    btnPopupUpLoadCamData = popup->addAction("ｶﾑﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupUpLoadCorrectData = popup->addAction("補正ﾃﾞｰﾀのｱｯﾌﾟﾛｰﾄﾞ");
    btnPopupDownLoadCamData = popup->addAction("ｶﾑﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    btnPopupDownLoadCorrectData = popup->addAction("補正ﾃﾞｰﾀのﾀﾞｳﾝﾛｰﾄﾞ");
    QMenu* help = menus->addMenu("ﾍﾙﾌﾟ(&H)");
    HelpAboutItem = help->addAction("ﾊﾞｰｼﾞｮﾝ情報(&A)...");
    ui::Connect(HelpAboutItem, &QAction::triggered, this, [this] { HelpAbout(); });

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(memSub);
    connect(Timer1, &QTimer::timeout, this, [this] { ++Timer1->Tag; });
    connect(Timer2, &QTimer::timeout, this, [this] { ++Timer2->Tag; });
}

bool TfrmEdit::HasUnsavedDocuments() const {
    return std::any_of(DocModified.begin(), DocModified.end(), [](bool m) { return m; });
}

void TfrmEdit::AddReply(const QString& line) { memSub->appendPlainText("[KASO返信] " + line); }

void TfrmEdit::ReceiveUpLoadData(QObject*) {
    // No upload is running until the data upload dialog starts one.
}

void TfrmEdit::btnPopupUpLoadProgramClick(QObject*) {
    // No upload is running until the menu command starts one.
}

void TfrmEdit::HelpAbout() {
    frmHelpabout = new TfrmHelpabout(nullptr);
    frmHelpabout->ShowModal();
    delete frmHelpabout;
    frmHelpabout = nullptr;
}
