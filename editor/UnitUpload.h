// The data upload dialog: the start address, the number of sets and the items per set of an
// upload, its count and progress, and the start, stop and close buttons. The upload itself is
// the editor's (TfrmEdit::ReceiveUpLoadData).
#pragma once

#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Widgets.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <string_view>

class TfrmUpload : public ui::Form {
    Q_OBJECT
public:
    explicit TfrmUpload(QWidget* owner);

    QLabel* Label1;
    ui::ComboBox* cmbFirst; // start address
    QLabel* Label2;
    ui::Edit* edtNum; // number of sets
    QLabel* Label3;
    ui::ComboBox* cmbKumisuu; // items per set
    QLabel* Label4;
    ui::Edit* edtPath; // values received
    QProgressBar* ProgressBar1;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* btnClose;
    QPushButton* btnStart;
    QPushButton* btnStop;

    void FormCreate();
    void cmbFirstKeyPress(QChar& key);
    void cmbKumisuuChange();
    void btnStartClick();
    void btnStopClick();
    void btnCloseClick();

protected:
    void FormClose() override;

private:
    void BuildLayout();
};

extern TfrmUpload* frmUpload;

// The start-address items of both dialogs: the download dialog lists the first 22.
extern const QStringList kStartAddressItems;
inline constexpr int kDownloadStartAddressItems = 22;

// The prefix typing aid of both dialogs: a prefix chosen from the list arrives selected; a key
// other than backspace then goes after it instead of replacing it.
void KeepChosenPrefix(ui::ComboBox& box, QChar key);

// The boxes both dialogs share: the start address editable, the count of values read-only, out
// of the tab chain and on the dialog's background (`dialogPalette`).
void PrepareTransferBoxes(ui::ComboBox& first, ui::Edit& count, const QPalette& dialogPalette);

// The dialogs' test of the start address typed (`accepts`, on the bytes it sends): false after
// telling the user why, when a character cannot be sent or the form is refused.
bool StartAddressAccepted(const QString& address, bool (*accepts)(std::string_view));

// The start address box's own line edit, with the dialog's key press handler, showing the first
// address of the internal variables.
void UseStartAddressEdit(ui::ComboBox& first, std::function<void(QChar&)> onKeyPress);
