// The setup dialog's refusal to close on port settings that no check has tried, driven through
// the real modal dialog.
#include "AppTest.h"

#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {

class SetupDialogTest : public AppTest {};

const QString kCheckFirst = "通信設定が変更されましたので通信確立状況を確認してください。";

int Refusals(const std::vector<ui::MessageRecord>& messages) {
    int count = 0;
    for (const auto& m : messages)
        count += m.text == kCheckFirst && m.caption == "通信確立ﾁｪｯｸ確認";
    return count;
}

TEST_F(SetupDialogTest, ChangedPortSettingsNeedACheckHoweverOftenTheDialogIsActivated) {
    WriteSetting("Comm", "TransmitCheck", 2);
    StartProgram();
    bool stillOpenAfterActivations = false;
    bool closedAfterCheck = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(frmSetup->isVisible());
        frmSetup->activateWindow();
        WaitFor([] { return frmSetup->isActiveWindow(); }, 10000);
        frmSetup->cmbBaudrate->SetItemIndex(4);
        for (int i = 0; i < 3; ++i) {
            // Each dismissed warning hands the activation back to the dialog.
            QEvent activation(QEvent::ActivationChange);
            QApplication::sendEvent(frmSetup, &activation);
            frmSetup->btnClose->click();
            frmSetup->close(); // the close box
        }
        stillOpenAfterActivations = frmSetup->isVisible();
        QTimer::singleShot(0, [] { frmSetup->btnCheck->click(); }); // stopped at once
        frmSetup->btnCheck->click();
        frmSetup->btnClose->click();
        closedAfterCheck = !frmSetup->isVisible();
        if (!closedAfterCheck) frmSetup->SetModalResult(ui::mrCancel);
    });
    frmMain->btnSetup->click();
    EXPECT_TRUE(stillOpenAfterActivations);
    EXPECT_EQ(Refusals(messages), 6);
    EXPECT_TRUE(closedAfterCheck);
    EXPECT_EQ(frmMain->Label5->text(), "38400");

    // Changing only the series never blocks the close.
    messages.clear();
    QTimer::singleShot(0, [&] {
        frmSetup->cmbModelType->SetItemIndex(1);
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(frmSetup, &activation);
        frmSetup->btnClose->click();
        if (frmSetup->isVisible()) frmSetup->SetModalResult(ui::mrCancel);
    });
    frmMain->btnSetup->click();
    EXPECT_EQ(Refusals(messages), 0);
    EXPECT_EQ(SeriesIndex(), 1);
}

} // namespace
