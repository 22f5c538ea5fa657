// The exchange under every transfer, on its own: a data module and the progress window against
// the simulated driver, and no window of any subsystem. Every way an exchange ends ends it once,
// with one report, and its questions keep the axis it started for.
#include "link/Exchange.h"
#include "link/UnitCommCancel.h"
#include "sim/SimulatedDriver.h"
#include "ui/Dialogs.h"
#include "ui/Wait.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using End = Exchange::End;

class ExchangeTest : public testing::Test {
protected:
    void SetUp() override {
        driver_ =
            std::make_unique<sim::SimulatedDriver>(sim::DriverConfig{sim::Series::QWC, {}, "XY"});
        qputenv("KASONT_DEVICE", driver_->slavePath().toLocal8Bit());
        ui::SetMessageResponder([this](const ui::MessageRecord& record) {
            messages.push_back(record);
            return ui::MsgResult::Ok;
        });
        mdlGeneral = new TmdlGeneral;
        mdlGeneral->SetCommParams(1, 38400, 0);
        mdlGeneral->OpenPort();
        frmCommCancel = new TfrmCommCancel(nullptr);
        window_ = std::make_unique<QObject>();
        exchange_ = std::make_unique<Exchange>(window_.get(), 12);
        exchange_->OnAnswer = [this](const QByteArray& answer) {
            answers.push_back(answer);
            if (next) next();
        };
        exchange_->OnEnd = [this](End end) { ends.push_back(end); };
    }
    void TearDown() override {
        exchange_.reset();
        window_.reset();
        delete frmCommCancel;
        frmCommCancel = nullptr;
        delete mdlGeneral;
        mdlGeneral = nullptr;
        ui::SetMessageResponder({});
        qunsetenv("KASONT_DEVICE");
    }
    static bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
        return ui::ProcessMessagesUntil(done, ms);
    }
    QList<QByteArray> Sent() {
        QList<QByteArray> lines = driver_->receivedLines();
        lines.removeAll("VER"); // the line's step settles writes with it
        return lines;
    }

    std::unique_ptr<sim::SimulatedDriver> driver_;
    std::unique_ptr<QObject> window_;
    std::unique_ptr<Exchange> exchange_;
    std::vector<QByteArray> answers;
    std::vector<End> ends;
    std::vector<ui::MessageRecord> messages;
    std::function<void()> next;
};

TEST_F(ExchangeTest, DoneAfterAChainOfAnswersShowsTheEndAndStays) {
    exchange_->Start({true, true, nullptr});
    int asked = 1;
    next = [&] {
        if (asked == 3) return exchange_->Finish(TfrmCommCancel::Direction::Upload);
        exchange_->StepTo(asked, 3);
        exchange_->Write("#DTPT=" + QByteArray::number(asked) + "\r");
        exchange_->Ask("#" + QByteArray::number(++asked) + "\r");
    };
    exchange_->Ask("#1\r");
    ASSERT_TRUE(WaitFor([&] { return !ends.empty(); }));
    EXPECT_EQ(answers, (std::vector<QByteArray>{"1001", "1002", "1003"}));
    EXPECT_EQ(ends, std::vector<End>{End::Done});
    EXPECT_TRUE(frmCommCancel->isVisible());
    EXPECT_EQ(frmCommCancel->Label1->text(), "アップロード完了");
    EXPECT_FALSE(exchange_->Running());
    EXPECT_TRUE(messages.empty());

    // The progress window has no minimise or maximise box, and a window minimised anyway shows
    // again at the next start.
    const Qt::WindowFlags flags = frmCommCancel->windowFlags();
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    frmCommCancel->showMinimized();
    ASSERT_TRUE(WaitFor([] { return frmCommCancel->isMinimized(); }));
    exchange_->Start({true, true, nullptr});
    EXPECT_FALSE(frmCommCancel->isMinimized());
    EXPECT_TRUE(frmCommCancel->isVisible());
    exchange_->Cancel();
}

TEST_F(ExchangeTest, CancelledByTheButtonOrByClosingTheWindowEndsOnceAndQuietly) {
    for (const bool byClose : {false, true}) {
        ends.clear();
        answers.clear();
        driver_->setFault(sim::Fault::Late, 200);
        exchange_->Start({true, true, nullptr});
        exchange_->Ask("#1\r");
        ASSERT_TRUE(WaitFor([&] { return driver_->receivedLines().contains("#1"); }));
        if (byClose) {
            QCloseEvent close;
            QCoreApplication::sendEvent(frmCommCancel->windowHandle(), &close);
        } else {
            frmCommCancel->btnCancel->click();
        }
        EXPECT_EQ(ends, std::vector<End>{End::Cancelled}) << byClose;
        EXPECT_FALSE(frmCommCancel->isVisible());
        // The answer that comes after goes nowhere.
        ui::ProcessMessagesUntil([] { return false; }, 400);
        EXPECT_TRUE(answers.empty());
        EXPECT_EQ(ends.size(), 1u);
        driver_->setFault(sim::Fault::None);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ExchangeTest, AFailedSendAndAMissingAnswerEachEndItOnceWithTheirReport) {
    exchange_->notAnswered = {"no answer", "caption", Exchange::Report::How::Message};
    driver_->setFault(sim::Fault::Silent);
    exchange_->Start({true, true, nullptr});
    ASSERT_TRUE(exchange_->Ask("#1\r", 200));
    ASSERT_TRUE(WaitFor([&] { return !ends.empty(); }));
    EXPECT_EQ(ends, std::vector<End>{End::NotAnswered});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "no answer");
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_FALSE(exchange_->Ask("#2\r")); // ended: nothing more goes out
    EXPECT_FALSE(Sent().contains("#2"));

    ends.clear();
    messages.clear();
    driver_->setFault(sim::Fault::None);
    exchange_->Start({true, true, nullptr});
    mdlGeneral->PortForTests().Close(); // the port raises at the next send
    EXPECT_FALSE(exchange_->Write("#DTPT=1\r"));
    EXPECT_FALSE(exchange_->Ask("#1\r"));
    EXPECT_EQ(ends, std::vector<End>{End::SendFailed});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    EXPECT_EQ(messages[0].caption, "ｴﾗ-");
    EXPECT_FALSE(frmCommCancel->isVisible());
}

TEST_F(ExchangeTest, ALostLineEndsItWithTheLinesOwnMessageOnly) {
    driver_->setFault(sim::Fault::Silent);
    exchange_->Start({true, true, nullptr});
    exchange_->Ask("#1\r");
    ASSERT_TRUE(WaitFor([&] { return driver_->receivedLines().contains("#1"); }));
    driver_->hangUp();
    ASSERT_TRUE(WaitFor([&] { return !ends.empty(); }));
    EXPECT_EQ(ends, std::vector<End>{End::LineLost});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(frmCommCancel->isVisible());
}

// A designation sent after the start moves the terminal's axis, never the exchange's.
TEST_F(ExchangeTest, ItsLinesGoToTheAxisDesignatedWhenItStarted) {
    driver_->setParameter('Y', 5, 9999);
    mdlGeneral->SendCommand(QByteArray("X:\r"), ridTerminal);
    exchange_->Start();
    mdlGeneral->SendCommand(QByteArray("Y:\r"), ridTerminal);
    EXPECT_EQ(mdlGeneral->DesignatedAxis(), 'Y');
    next = [&] { exchange_->Finish(); };
    exchange_->Write("#DTPT=1\r");
    exchange_->Ask("#5\r");
    ASSERT_TRUE(WaitFor([&] { return !ends.empty(); }));
    EXPECT_EQ(answers, std::vector<QByteArray>{"1005"});
    EXPECT_EQ(Sent(), (QList<QByteArray>{"X:", "Y:", "X:", "#DTPT=1", "#5"}));
    // Blocking questions keep it too, and one left unanswered leaves it running.
    driver_->setFault(sim::Fault::Silent);
    exchange_->Start();
    EXPECT_FALSE(exchange_->AskAndWait("#6\r", 200));
    EXPECT_TRUE(exchange_->Running());
    EXPECT_EQ(exchange_->Axis(), 'Y');
}

} // namespace
