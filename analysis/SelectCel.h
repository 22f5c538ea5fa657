// The analysis window's choice of a table column: up to four named columns, one chosen.
#pragma once

#include "ui/Form.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class TfrmSelectCell : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmSelectCell(QWidget* owner);

    QLabel* Label1;
    QRadioButton* rb1;
    QRadioButton* rb2;
    QRadioButton* rb3;
    QRadioButton* rb4;
    QPushButton* Button1;
    int SelectedIndex = 0;

    // Offers the first `count` captions (at most four), the first chosen; returns the modal
    // result.
    int ShowChoice(int count, const QString& caption1, const QString& caption2,
                   const QString& caption3, const QString& caption4);

protected:
    void FormShow() override;
    void FormDeactivate() override { TakeChoice(); }
    // A dialog answered without losing the focus (a test's responder) takes its choice here.
    void FormHide() override { TakeChoice(); }

private:
    void TakeChoice();
};

extern TfrmSelectCell* frmSelectCell;
