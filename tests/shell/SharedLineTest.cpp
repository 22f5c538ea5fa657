// One line, several axes and several windows, as a user meets them: an axis that is absent or
// falls silent never locks the line or sends a window's reads and writes to another axis, a line
// typed while a window exchanges gets its own answer, and writes go out at once.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "parameters/UnitPrm.h"
#include "parameters/UnitPrmLock.h"
#include "shell/UnitMain.h"
#include "status/UnitDataTable.h"
#include "ui/Controls.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

class SharedLineTest : public AppTest {
protected:
    static void Enter(const QString& line) {
        frmMain->edtSend->clear();
        Type(frmMain->edtSend, line + "\r");
    }
    // The terminal's answer to the line just typed: its reply label back in the normal colour.
    static bool Answered() { return ui::TextColor(frmMain->lblReceive) != ui::clGray; }
    static QString Reply() { return frmMain->lblReceive->text(); }
    // Types `line` into the terminal once the driver receives `trigger`, from the event loop of
    // whatever wait is running then.
    void TypeOnLine(const QByteArray& trigger, const QString& line) {
        auto typed = std::make_shared<bool>(false);
        QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                         [trigger, line, typed](const QByteArray& received) {
                             if (*typed || received != trigger) return;
                             *typed = true;
                             QTimer::singleShot(0, [line] { Enter(line); });
                         });
    }
};

TEST_F(SharedLineTest, AnAbsentOrSilentAxisNeverLocksTheLine) {
    StartProgram();
    Enter("X:VER");
    ASSERT_TRUE(WaitFor([] { return Answered() && Reply() == "QWC50A_C3"; }));
    Enter("Z:#1"); // there is no axis Z
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("Z:#1"); }));
    TakeSentLines();
    // The designation goes out at once; the next question, to another axis, once Z's late
    // answer has had its time: then nothing can come before its own.
    Enter("X:");
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("X:"); }, 300));
    QElapsedTimer clock;
    clock.start();
    Enter("VER");
    ASSERT_TRUE(WaitFor([] { return Answered(); }, 6000));
    EXPECT_GE(clock.elapsed(), 2500);
    EXPECT_EQ(Reply(), "QWC50A_C3");
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"X:", "VER"}));
    Enter("#5");
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    EXPECT_EQ(Reply(), "1005");
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"#5"});

    // Under "*", one "VER" left unanswered by a driver silent for a while.
    Enter("*:");
    driver->setFault(sim::Fault::Silent);
    Enter("VER");
    Pause(1400);
    driver->setFault(sim::Fault::None);
    TakeSentLines();
    Enter("X:VER");
    ASSERT_TRUE(WaitFor([] { return Answered(); }, 6000));
    EXPECT_EQ(Reply(), "QWC50A_C3");
    EXPECT_EQ(frmMain->lblAxis->text(), "X");
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"X:VER"});
    EXPECT_TRUE(messages.empty());
}

// A driver that answers "VER" with "E-S": after a typed write, that answer settles the line,
// once its quiet has told it from a refusal, and nothing is refused.
TEST_F(SharedLineTest, ADriverWithoutTheModelQueryIsSettledByItsRefusal) {
    driver->setFault(sim::Fault::NotSupported);
    StartProgram();
    Enter("X:");
    Enter("#12=5");
    Enter("#5");
    ASSERT_TRUE(WaitFor([] { return Answered(); }, 3000));
    EXPECT_EQ(Reply(), "E-S");
    driver->setFault(sim::Fault::None);
    Enter("#5");
    ASSERT_TRUE(WaitFor([] { return Answered() && Reply() == "1005"; }));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharedLineTest, TypedWritesGoOutAtOnce) {
    StartProgram();
    Enter("VER");
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    TakeSentLines();
    QElapsedTimer clock;
    clock.start();
    for (const char* line : {"#12=5", "#13=6", "#14=7", "#15"})
        Enter(line);
    ASSERT_TRUE(WaitFor([] { return Answered() && Reply() == "1015"; }));
    EXPECT_LT(clock.elapsed(), 500);
    // Each write goes with the model query whose known answer settles it.
    EXPECT_EQ(TakeSentLines(),
              (QList<QByteArray>{"#12=5", "VER", "#13=6", "VER", "#14=7", "VER", "#15"}));
    EXPECT_EQ(driver->parameter('X', 14), 7);

    // A driver that answers a write: the answer shows, and the next question gets its own.
    driver->setWriteAnswer("OK");
    Enter("#16=8");
    ASSERT_TRUE(WaitFor([] { return Reply() == "OK"; }));
    Enter("#16");
    ASSERT_TRUE(WaitFor([] { return Answered() && Reply() == "8"; }));
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharedLineTest, TheParameterListReadsAndWritesTheAxisItsCaptionNames) {
    driverConfig.axes = "XY";
    StartOnSeries(2);
    driver->setModelText('X', "QWC30");
    driver->setModelText('Y', "QWC50A_C3");
    driver->setParameter('X', 5, 5555);
    driver->setParameter('Y', 5, 9999);
    driver->setAxes("X"); // Y is silent for a while
    Enter("Y:VER");
    Pause(1400);
    Enter("X:VER");
    ASSERT_TRUE(WaitFor([] { return Answered(); }, 6000));
    EXPECT_EQ(Reply(), "QWC30");
    driver->setAxes("XY");
    Enter("#5");
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    EXPECT_EQ(Reply(), "5555");

    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrm->isVisible());
    frmPrm->activateWindow();
    ASSERT_TRUE(WaitFor([] { return frmPrm->isActiveWindow(); }));
    EXPECT_EQ(frmPrm->windowTitle(), "X軸のﾊﾟﾗﾒｰﾀ一覧");
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    frmCommCancel->btnCancel->click();
    EXPECT_EQ(frmPrm->grdPrm->RowCount(), 91);
    EXPECT_EQ(frmPrm->grdPrm->Cell(1, 6), "5555");
    frmPrm->grdPrm->SetCell(1, 6, "4321");
    frmPrm->btnSendPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "ダウンロード完了"; }, 8000));
    EXPECT_EQ(driver->parameter('X', 5), 4321);
    EXPECT_EQ(driver->parameter('Y', 5), 9999);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SharedLineTest, ALineTypedDuringAWindowsExchangeGetsItsOwnAnswer) {
    // The lock window's mask reads, each answered after 0.8 s, with "#5" typed during them.
    StartOnSeries(3, "QWD10");
    driver->setParameter('X', 5, 55);
    for (int k = 0; k < 7; ++k)
        driver->answerLateOnce("PRK" + QByteArray::number(k), 800);
    TypeOnLine("PRK1", "#5");
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrmLock->isVisible());
    EXPECT_TRUE(messages.empty());
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(frmPrmLock->clbPrm->Checked(i)) << i; // the driver said all free
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    EXPECT_EQ(Reply(), "55");
    StopProgram();

    // A line typed during a parameter read: both exchanges whole.
    driver = std::make_unique<sim::SimulatedDriver>(driverConfig);
    qputenv("KASONT_COMM1", driver->slavePath().toLocal8Bit());
    StartOnSeries(2, "QWC50A_C3");
    frmMain->btnPopupPrm->trigger();
    TypeOnLine("#40", "VER");
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 8000));
    for (int n = 0; n < 110; ++n)
        ASSERT_EQ(frmPrm->grdPrm->Cell(1, n + 1), QString::number(driver->parameter('X', n))) << n;
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    EXPECT_EQ(Reply(), "QWC50A_C3");
    EXPECT_TRUE(messages.empty());
}

// A question typed for an absent axis, another behind it, and a designation of the axis present:
// the second question ends untold to the driver, never sent under the other designation.
TEST_F(SharedLineTest, AQuestionTypedForAnAbsentAxisNeverGoesToAnother) {
    StartProgram();
    Enter("X:VER");
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    Enter("Z:#1");
    Enter("Z:#2");
    Enter("X:");
    ASSERT_TRUE(WaitFor([this] { return HasMessage("Can not communication to driver."); }, 8000));
    EXPECT_FALSE(Answered());
    EXPECT_FALSE(driver->receivedLines().contains("#2"));
    EXPECT_FALSE(driver->receivedLines().contains("Z:#2"));
    Enter("#2");
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    EXPECT_EQ(Reply(), "1002");
}

// A data table read on an axis that is absent, and writes typed meanwhile to the axis present,
// which refuses them: the read ends unanswered and says so, the writes wait for its probe, and
// their refusals show in the terminal, never as the read's entry.
TEST_F(SharedLineTest, AReadOnAnAbsentAxisNeverTakesAnotherAxissRefusal) {
    StartOnSeries(2);
    Enter("X:VER");
    ASSERT_TRUE(WaitFor([] { return Answered(); }));
    frmMain->btnPopupDataTable->trigger();
    ASSERT_TRUE(WaitFor([] { return frmDataTable->isVisible(); }));
    driver->refuse("#12=5");
    Enter("Z:"); // there is no axis Z
    frmDataTable->btnReadDataTable->click();
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("#DTPT=0"); }, 3000));
    Enter("X:#12=5");
    Enter("X:#12=5");
    ASSERT_TRUE(WaitFor([] { return !frmCommCancel->isVisible(); }, 15000));
    ASSERT_TRUE(WaitFor([] { return Reply() == "E-S"; }, 5000));
    EXPECT_NE(frmDataTable->grdDataTable->Cell(1, 1), "E-S");
    EXPECT_NE(frmCommCancel->Label1->text(), "アップロード完了");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
}

// A designation typed during the parameter list's read changes the terminal's axis, never the
// list's: every row holds the value of the axis the read started for, and the typed lines get
// the other axis's answers.
TEST_F(SharedLineTest, ADesignationTypedDuringAReadLeavesTheListWholeAndOfOneAxis) {
    StartOnSeries(2);
    driver->setAxes("XY");
    driver->setModelText('X', "QWC50A_C3");
    driver->setModelText('Y', "QWC30");
    for (int n = 0; n < 110; ++n)
        driver->setParameter('Y', n, 7000 + n);
    Enter("X:");
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("X:"); }));
    frmMain->btnPopupPrm->trigger();
    ASSERT_TRUE(frmPrm->isVisible());
    driver->setFault(sim::Fault::Late, 30);
    TypeOnLine("#50", "Y:VER");
    TypeOnLine("#53", "#5");
    frmPrm->btnReadPrm->click();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->Label1->text() == "アップロード完了"; }, 15000));
    for (int n = 0; n < 110; ++n)
        ASSERT_EQ(frmPrm->grdPrm->Cell(1, n + 1), QString::number(driver->parameter('X', n))) << n;
    ASSERT_TRUE(WaitFor([] { return Answered() && Reply() == "7005"; }));
    EXPECT_EQ(frmMain->lblAxis->text(), "Y");
    EXPECT_TRUE(messages.empty());
}

} // namespace
