// The waits and the hand-over of the line: time-outs counted in ticks, the model query, the
// status monitors' stop.
#include "AppTest.h"

#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"

#include <QElapsedTimer>

namespace {

class WaitsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        StartProgram();
    }
};

TEST_F(WaitsTest, WaitForReplyGivesUpOnTheFifthTick) {
    driver->setFault(sim::Fault::Silent);
    mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2));
    EXPECT_GE(clock.elapsed(), 1200);
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_FALSE(frmMain->Timer2->Enabled());
    EXPECT_EQ(frmMain->ElapsedMs, 0);

    // A reply after the fourth tick (1000 ms is not over the limit) still counts.
    driver->setFault(sim::Fault::Late, 1100);
    mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
    EXPECT_TRUE(WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2));
    EXPECT_EQ(mdlGeneral->LastReply(), "QWC50A_C3");
}

TEST_F(WaitsTest, ModelQueryTakesOnlyTheSecondReply) {
    EXPECT_EQ(QueryDriverModel(frmMain->ElapsedMs, *frmMain->Timer2), ModelQuery::Answered);
    EXPECT_EQ(mdlGeneral->LastReply(), "QWC50A_C3");
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER"}));

    // A driver that answers the first "VER" only gives no answer.
    int seen = 0;
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(), [&] {
        if (++seen == 2) driver->setFault(sim::Fault::Silent);
    });
    EXPECT_EQ(QueryDriverModel(frmMain->ElapsedMs, *frmMain->Timer2), ModelQuery::NoAnswer);
    EXPECT_EQ(seen, 2);
}

TEST_F(WaitsTest, ModelQueryReportsEitherFailedSend) {
    driver->setFault(sim::Fault::Silent);
    mdlGeneral->PortForTests().Close();
    EXPECT_EQ(QueryDriverModel(frmMain->ElapsedMs, *frmMain->Timer2), ModelQuery::SendFailed);
    EXPECT_TRUE(mdlGeneral->LastReply().isEmpty());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_EQ(messages[0].icon, ui::MsgIcon::Exclamation);

    // The second send failing is reported the same way, not as an escaped error.
    messages.clear();
    mdlGeneral->PortForTests().Open();
    driver->setFault(sim::Fault::None);
    // The line goes away right after the first reply has been taken in.
    auto receive = mdlGeneral->PortForTests().OnCommReceive;
    mdlGeneral->PortForTests().OnCommReceive = [receive](QObject* sender, std::uint16_t count) {
        receive(sender, count);
        mdlGeneral->PortForTests().Close();
    };
    EXPECT_EQ(QueryDriverModel(frmMain->ElapsedMs, *frmMain->Timer2), ModelQuery::SendFailed);
    EXPECT_TRUE(HasMessage("ドライバと通信できませんでした。"));

    // A send that fails because the driver hung up: the lost line's message is the only one.
    mdlGeneral->PortForTests().OnCommReceive = receive;
    mdlGeneral->PortForTests().Open();
    messages.clear();
    driver->hangUp();
    EXPECT_EQ(QueryDriverModel(frmMain->ElapsedMs, *frmMain->Timer2), ModelQuery::SendFailed);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
}

TEST_F(WaitsTest, StopStatusMonitorStopsEachShowingMonitorInTurn) {
    StopStatusMonitor(); // none showing: nothing sent, no wait
    Pause(50);
    EXPECT_TRUE(TakeSentLines().isEmpty());

    frmStat->Show();
    frmStat_QWC->Show();
    QElapsedTimer clock;
    clock.start();
    StopStatusMonitor();
    EXPECT_GE(clock.elapsed(), 700); // four 100 ms ticks each
    EXPECT_FALSE(frmStat->Showing());
    EXPECT_FALSE(frmStat_QWC->Showing());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_TRUE(frmStat->StopPolling);
    // Each stop ends with ".": the driver gets two, the last line is one, and no poll follows.
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().count(".") == 2; }));
    Pause(600);
    const QList<QByteArray> lines = TakeSentLines();
    EXPECT_EQ(lines.count("."), 2);
    EXPECT_EQ(lines.last(), ".");
}

TEST_F(WaitsTest, TickWaits) {
    QElapsedTimer clock;
    clock.start();
    WaitTicks(*frmMain->Timer1, 4);
    EXPECT_GE(clock.elapsed(), 390);
    EXPECT_FALSE(frmMain->Timer1->Enabled());

    // A reply ends the tick wait early.
    mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
    clock.restart();
    WaitTicksOrReply(*frmMain->Timer1, 30);
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_TRUE(mdlGeneral->ReplyReceived());

    // No ticks to wait: no wait for the next tick (100 ms) either.
    driver->setFault(sim::Fault::Silent);
    mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone);
    clock.restart();
    WaitTicksOrReply(*frmMain->Timer1, 0);
    EXPECT_LT(clock.elapsed(), 50);
    EXPECT_FALSE(frmMain->Timer1->Enabled());
}

} // namespace
