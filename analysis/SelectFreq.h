// The analysis window's choice of a sampling frequency when a table does not tell it.
#pragma once

#include "ui/Form.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class TfrmFreqSel : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmFreqSel(QWidget* owner);

    QLabel* Label1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QPushButton* Button1;
    int SelectedFrequency = 0; // Hz; kept when the dialog is closed without OK

    void Button1Click();

protected:
    void FormShow() override;
};

extern TfrmFreqSel* frmFreqSel;
