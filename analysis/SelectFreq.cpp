#include "SelectFreq.h"

#include "shell/UnitMain.h"
#include "ui/DpiScaling.h"
#include "ui/Guard.h"
#include "ui/RadioGroup.h"
#include "ui/Widgets.h"

TfrmFreqSel* frmFreqSel = nullptr;

TfrmFreqSel::TfrmFreqSel(QWidget* owner)
    : ui::Form(owner), Label1(new QLabel("ロギング周波数を選択してください", this)),
      RadioButton1(new QRadioButton("2000[Hz]", this)),
      RadioButton2(new QRadioButton("4000[Hz]", this)),
      RadioButton3(new QRadioButton("8000[Hz]  QWC BASE", this)),
      RadioButton4(new QRadioButton("16000[Hz] QWC DSP", this)),
      Button1(new QPushButton("OK", this)) {
    setWindowTitle("ロギング周波数選択");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(194, 180);
    Label1->setGeometry(8, 6, 178, 18);
    QRadioButton* buttons[4] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int k = 0; k < 4; ++k)
        buttons[k]->setGeometry(16, 30 + 24 * k, 170, 20);
    RadioButton1->setChecked(true);
    ui::ChooseWithArrowKeys({RadioButton1, RadioButton2, RadioButton3, RadioButton4});
    Button1->setGeometry(60, 140, 75, 25);
    Button1->setDefault(true);
    ui::Connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    ui::ScaleToDpi(*this);
    ui::ScaleControlsToDpi(*this);
    ui::NarrowToFit(Label1, Label1->text(), Label1->width());
}

void TfrmFreqSel::FormShow() {
    RadioButton1->setChecked(true);
    if (frmMain) CentreOn(*frmMain);
}

void TfrmFreqSel::Button1Click() {
    const QRadioButton* buttons[4] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    const int frequencies[4] = {2000, 4000, 8000, 16000};
    for (int k = 0; k < 4; ++k)
        if (buttons[k]->isChecked()) {
            SelectedFrequency = frequencies[k];
            break;
        }
    SetModalResult(ui::mrOk);
}
