#include "SelectCel.h"

#include "shell/UnitMain.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/RadioGroup.h"
#include "ui/Widgets.h"

TfrmSelectCell* frmSelectCell = nullptr;

TfrmSelectCell::TfrmSelectCell(QWidget* owner)
    : ui::Form(owner), Label1(new QLabel("解析するデータを選んでください", this)),
      rb1(new QRadioButton(this)), rb2(new QRadioButton(this)), rb3(new QRadioButton(this)),
      rb4(new QRadioButton(this)), Button1(new QPushButton("OK", this)) {
    setWindowTitle("データ選択");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(176, 152);
    Label1->setGeometry(8, 6, 160, 18);
    QRadioButton* buttons[4] = {rb1, rb2, rb3, rb4};
    for (int k = 0; k < 4; ++k)
        buttons[k]->setGeometry(16, 28 + 22 * k, 150, 20);
    rb1->setChecked(true);
    ui::ChooseWithArrowKeys({rb1, rb2, rb3, rb4});
    Button1->setGeometry(50, 120, 75, 25);
    Button1->setDefault(true);
    ui::Connect(Button1, &QPushButton::clicked, this, [this] {
        TakeChoice();
        SetModalResult(ui::mrOk);
    });
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    ui::NarrowToFit(Label1, Label1->text(), Label1->width());
}

void TfrmSelectCell::FormShow() {
    if (frmMain) CentreOn(*frmMain);
}

int TfrmSelectCell::ShowChoice(int count, const QString& caption1, const QString& caption2,
                               const QString& caption3, const QString& caption4) {
    rb1->setChecked(true);
    SelectedIndex = 0;
    const QString captions[4] = {caption1, caption2, caption3, caption4};
    QRadioButton* buttons[4] = {rb1, rb2, rb3, rb4};
    for (int k = 3; k >= 0; --k) {
        buttons[k]->setVisible(count >= k + 1);
        if (count >= k + 1) buttons[k]->setText(captions[k]);
    }
    return ShowModal();
}

void TfrmSelectCell::TakeChoice() {
    SelectedIndex = rb1->isChecked() ? 0 : rb2->isChecked() ? 1 : rb3->isChecked() ? 2 : 3;
}
