#include "UnitHelp.h"

#include "UnitSetup.h"

TfrmHelpabout* frmHelpabout = nullptr;

TfrmHelpabout::TfrmHelpabout(QWidget* owner) : TInfoBox(owner, QSize()) {}

// The texts are set before the box's own show narrows its captions to their room.
void TfrmHelpabout::FormShow() {
    // The texts go to the box the editor's menu item has just made, as it always did.
    TfrmHelpabout* box = frmHelpabout ? frmHelpabout : this;
    if (SeriesIndex() == 0) {
        box->Label1->setText("Mailbox Compiler Ver 2.29 ('06/07/26)");
        box->Label2->setText("QWAｼﾘｰｽﾞ用ﾌﾟﾛｸﾞﾗﾑｺﾝﾊﾟｲﾗ");
    } else {
        box->Label1->setText("KAS/2解析ﾌﾟﾛｸﾞﾗﾑ Ana1109 ('08/11/05)");
        box->Label2->setText("QWB/QWC/QWDｼﾘｰｽﾞ用ﾌﾟﾛｸﾞﾗﾑｺﾝﾊﾟｲﾗ");
    }
    TInfoBox::FormShow();
}
