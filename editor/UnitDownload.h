// The data download dialog: the start address of a download, the count of values sent, and the
// start, stop and close buttons. The download itself is the editor's (TfrmEdit::SendDownLoadData).
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

#include <QLabel>
#include <QPushButton>

class TfrmDownload : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmDownload(QWidget* owner);

    QLabel* Label1;
    ui::ComboBox* cmbFirst; // start address
    QLabel* Label4;
    ui::Edit* edtPath; // values sent
    QPushButton* btnClose;
    QPushButton* btnStart;
    QPushButton* btnStop;

    void FormCreate();
    void cmbFirstKeyPress(QChar& key);
    void btnStartClick();
    void btnStopClick();
    void btnCloseClick();

protected:
    void FormClose() override;

private:
    void BuildLayout();
};

extern TfrmDownload* frmDownload;
