// The parameter windows and their launcher when the line goes: every exchange ends at once, the
// windows are usable again and the user is told once.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"

#include <QElapsedTimer>

namespace {

const QString kNoAnswer = "ドライバと通信できませんでした。";

class ParameterLineLossTest : public AppTest {
protected:
    void Start(int series, const QByteArray& model) { StartOnSeries(series, model); }
    // Hangs the driver up when it receives `line`, and starts `sinceHangUp`.
    void HangUpAt(const QByteArray& line) {
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [this, line](const QByteArray& received) {
                             if (received.startsWith(line)) {
                                 sinceHangUp.start();
                                 driver->hangUp();
                             }
                         });
    }
    // Well below the reply time-out (five 250 ms ticks): the exchange ended with the line.
    static constexpr int kAtOnceMs = 800;
    QElapsedTimer sinceHangUp;
    bool LostOnce() const {
        return messages.size() == 1 &&
               messages[0].text.startsWith("Commポートとの接続が切れました。");
    }
    static void ExpectIdle(TPrmWindow* window) {
        EXPECT_EQ(window->Busy, 0);
        EXPECT_FALSE(frmCommCancel->isVisible());
        EXPECT_TRUE(window->btnReadPrm->isEnabled());
    }
};

TEST_F(ParameterLineLossTest, ALostLineEndsAReadOrAWriteAtOnceWithOneMessage) {
    Start(2, "QWC50A_C3");
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrm->isVisible());
    HangUpAt("#5");
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return mdlGeneral->LineLosses() == 1; }));
    EXPECT_LT(sinceHangUp.elapsed(), kAtOnceMs);
    ExpectIdle(frmPrm);
    Pause(300);
    EXPECT_TRUE(LostOnce());
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 7), "");

    // With the port closed the buttons still answer, once each, and Cancel hides the window.
    messages.clear();
    frmPrm->btnSendPrm->click();
    ExpectIdle(frmPrm);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(HasMessage(kNoAnswer));
    frmCommCancel->StartTransfer();
    frmCommCancel->btnCancel->click();
    EXPECT_FALSE(frmCommCancel->isVisible());
}

TEST_F(ParameterLineLossTest, ALostLineEndsTheLockWindowsWrite) {
    Start(3, "QWD50A");
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrmLock->isVisible());
    for (int row = 1; row <= 200; ++row)
        frmPrmLock->grdPrm->SetCell(1, row, QString::number(row));
    messages.clear();
    HangUpAt("#20=");
    frmPrmLock->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([] { return mdlGeneral->LineLosses() == 1; }));
    ExpectIdle(frmPrmLock);
    EXPECT_TRUE(frmPrmLock->clbPrm->isEnabled());
    EXPECT_NE(frmCommCancel->Label1->text(), "ダウンロード完了");
    Pause(200);
    EXPECT_TRUE(LostOnce());
}

TEST_F(ParameterLineLossTest, ALostLineDuringTheLockMasksEndsTheLaunchQuietly) {
    Start(3, "QWD50A");
    HangUpAt("PRK3");
    frmMain->btnPopupPrm->trigger();
    EXPECT_LT(sinceHangUp.elapsed(), kAtOnceMs);
    EXPECT_EQ(mdlGeneral->LineLosses(), 1);
    Pause(200);
    EXPECT_TRUE(LostOnce());
    EXPECT_FALSE(frmPrmLock->isVisible());
}

TEST_F(ParameterLineLossTest, ALostLineDuringTheModelQueryOfAReadIsReportedOnce) {
    Start(2, "QWC50A_C3");
    frmMain->btnPopupPrm->trigger();
    driver->setFault(sim::Fault::Silent);
    HangUpAt("VER");
    frmPrm->btnReadPrm->click();
    EXPECT_EQ(mdlGeneral->LineLosses(), 1);
    ExpectIdle(frmPrm);
    Pause(200);
    EXPECT_TRUE(LostOnce());
}

} // namespace
