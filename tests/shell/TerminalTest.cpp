// The command terminal, typed into as a user would against the simulated driver.
#include "AppTest.h"

#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"
#include "shell/UnitSetup.h"
#include "status/UnitStat.h"
#include "status/UnitStat_QWC.h"

#include <QApplication>
#include <QBackingStore>
#include <QClipboard>
#include <QImage>
#include <QTest>

namespace {

class TerminalTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        StartProgram();
        edit = frmMain->edtSend;
    }
    void Enter(const QString& line) {
        edit->clear();
        Type(edit, line + "\r");
    }
    bool Grey(QWidget* w) const { return ui::TextColor(w) == ui::clGray; }
    ui::Edit* edit = nullptr;
};

TEST_F(TerminalTest, VerShowsTheModelTextAndTheSentLineTurnsGrey) {
    Type(edit, "ver\r");
    EXPECT_EQ(edit->text(), "VER"); // upper case, left in the box
    EXPECT_TRUE(frmMain->SentState);
    EXPECT_TRUE(Grey(edit));
    EXPECT_TRUE(Grey(frmMain->lblReceive));
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "QWC50A_C3"; }));
    EXPECT_FALSE(Grey(frmMain->lblReceive));
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"VER"});
    // The next character starts a new line in the normal colour.
    Type(edit, "#");
    EXPECT_EQ(edit->text(), "#");
    EXPECT_FALSE(Grey(edit));
    EXPECT_FALSE(frmMain->SentState);
}

TEST_F(TerminalTest, TypedLinesDesignateTheAxis) {
    const std::pair<const char*, const char*> cases[] = {
        {"X:VER", "X"}, {"*:", "*"}, {"AB:", "AB"}, {":Y:", "Y"}, {"::", ""}};
    for (auto [line, axis] : cases) {
        Enter(line);
        EXPECT_EQ(frmMain->lblAxis->text(), axis) << line;
    }
    Enter("VER");
    EXPECT_EQ(frmMain->lblAxis->text(), "");
    // Every line went out in the order typed (":Y:", which the driver leaves unanswered, has the
    // line brought back in step before the next).
    ASSERT_TRUE(WaitFor([this] {
        const QList<QByteArray> sent = driver->receivedLines();
        return sent.contains("::") && sent.last() == "VER" &&
               sent.lastIndexOf("VER") > sent.indexOf("::");
    }));
    const QList<QByteArray> lines = driver->receivedLines();
    QList<QByteArray> typed;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(typed),
                 [](const QByteArray& line) { return line != "VER"; });
    EXPECT_EQ(typed, (QList<QByteArray>{"X:VER", "*:", "AB:", ":Y:", "::"}));
}

TEST_F(TerminalTest, RateCommandsSwitchThePortAndLabelOnly) {
    Enter(" B H 2 ");
    EXPECT_EQ(frmMain->Label5->text(), "38400");
    EXPECT_EQ(mdlGeneral->PortForTests().BaudRate, 38400);
    EXPECT_TRUE(mdlGeneral->PortForTests().Opened());
    EXPECT_EQ(driver->inputSpeed(), B38400);
    EXPECT_EQ(frmSetup->cmbBaudrate->currentText(), "1200"); // the dialog keeps the old rate
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{" B H 2 "});
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);

    Enter("BH1");
    EXPECT_EQ(frmMain->Label5->text(), "19200");
    for (const char* plain : {"BH20", "XBL", "BH3"}) {
        Enter(plain);
        EXPECT_EQ(frmMain->Label5->text(), "19200") << plain;
        EXPECT_EQ(mdlGeneral->LineHolder(), ridTerminal);
    }
    StopProgram();
    EXPECT_EQ(StoredSetting("Comm", "Baudrate").toInt(), 1200);
}

TEST_F(TerminalTest, FailedRateChangeShowsTheRateInForce) {
    // The device vanishes while the port is closed for the change: the reopen fails too.
    driver->clearReceived();
    Type(edit, "BM");
    QObject::connect(driver.get(), &sim::SimulatedDriver::lineReceived, driver.get(),
                     [] { qputenv("KASONT_COMM1", "/dev/no-such-tty"); });
    Type(edit, "\r");
    EXPECT_TRUE(
        HasMessage("ﾎﾞｰﾚｰﾄの変更ができませんでした。\n設定画面でﾎﾞｰﾚｰﾄを変更してください。"));
    EXPECT_TRUE(HasMessage(
        "Commポートがオープンできませんでした。\n設定画面でポートの選択を変更してください。"));
    EXPECT_TRUE(frmMain->PortOpenFailed);
    EXPECT_EQ(frmMain->Label5->text(), "*****");
    EXPECT_FALSE(mdlGeneral->PortForTests().Opened());

    // The next line cannot go out: the terminal says so and keeps the line grey.
    messages.clear();
    Enter("VER");
    EXPECT_TRUE(HasMessage("Can not communication to driver."));
    EXPECT_EQ(messages.back().caption, "Error");
    EXPECT_TRUE(Grey(edit));
    EXPECT_EQ(frmMain->History[1], ""); // the failed line did not enter the history
}

TEST_F(TerminalTest, HistoryKeepsTwentyLinesAndWalksBothWays) {
    // Nothing stored: both arrows show an empty line.
    PressKey(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(frmMain->HistoryIndex, 0);
    PressKey(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "");

    for (int i = 1; i <= 21; ++i)
        Enter(QString("L%1").arg(i));
    EXPECT_EQ(frmMain->History[0], "L2");
    EXPECT_EQ(frmMain->History[19], "L21");
    PressKey(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "L21");
    for (int i = 0; i < 25; ++i)
        PressKey(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "L2");
    PressKey(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "L3");
    for (int i = 0; i < 25; ++i)
        PressKey(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "L21");
    PressKey(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "L20");

    // Right after a send both arrows show the line just sent.
    Enter("NEW");
    PressKey(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "NEW");
    Enter("NEWER");
    PressKey(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "NEWER");
}

TEST_F(TerminalTest, ContinuousOutputIsStoppedByKeysAndFocusLoss) {
    Enter("==");
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 1; }));
    TakeSentLines();
    PressKey(edit, Qt::Key_Shift); // changes nothing: the state stays
    PressKey(edit, Qt::Key_F5);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 2; }));
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{".", "."}));
    // A paste that is refused is a key all the same (Ctrl, then V); the box keeps the line it
    // sent.
    QGuiApplication::clipboard()->setText("A\rB");
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 2; }));
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{".", "."}));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(edit->text(), "==");
    EXPECT_TRUE(Grey(edit));
    frmMain->StopContinuousOutput(); // what the loss of focus does
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().size() == 1; }));
    TakeSentLines();
    Type(edit, "A"); // its key down still stops; the character then ends the state
    frmMain->StopContinuousOutput();
    ASSERT_TRUE(WaitFor([this] { return !driver->receivedLines().isEmpty(); }));
    Pause(100);
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"."});

    // While the first monitor polls, "==" is neither sent nor handed over.
    edit->clear();
    mdlGeneral->TakeLine(ridStat);
    Type(edit, "==\r");
    EXPECT_EQ(frmStat->PollStep, 0);
    EXPECT_FALSE(Grey(edit));
    EXPECT_EQ(frmMain->History[1], "==");
    PressKey(edit, Qt::Key_F5);
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
}

TEST_F(TerminalTest, PollingMonitorGetsTheLineHandedOver) {
    mdlGeneral->TakeLine(ridStat_QWC);
    Type(edit, "BL\r");
    EXPECT_EQ(frmStat->PollStep, -1);
    EXPECT_EQ(frmStat_QWC->PollStep, -1);
    EXPECT_EQ(frmMain->History[0], "BL");
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(frmMain->Label5->text(), "1200");
}

TEST_F(TerminalTest, LostDeviceAndBadRepliesNeverHang) {
    driver->setFault(sim::Fault::Garbage);
    Enter("VER");
    ASSERT_TRUE(WaitFor([] { return !frmMain->lblReceive->text().isEmpty(); }));
    driver->setFault(sim::Fault::OverLong);
    frmMain->lblReceive->setText("before");
    Enter("VER");
    // Over 48 characters: not shown cut, but said to be too long.
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() != "before"; }));
    EXPECT_EQ(frmMain->lblReceive->text(), "(ドライバの応答が長すぎて読めませんでした)");
    // It was the question's answer: the next line goes at once; unanswered, it leaves the
    // reply as it stood, without a box.
    driver->setFault(sim::Fault::Silent);
    frmMain->lblReceive->setText("before");
    Enter("VER");
    EXPECT_EQ(TakeSentLines().back(), "VER");
    Pause(1500);
    EXPECT_EQ(frmMain->lblReceive->text(), "before");
    EXPECT_TRUE(messages.empty());

    driver->hangUp();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    EXPECT_TRUE(messages.back().text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_FALSE(mdlGeneral->PortForTests().Opened());
    Enter("VER");
    EXPECT_TRUE(HasMessage("Can not communication to driver."));
}

// A line typed right after a model query timed out, its answer still to come: the line goes out
// once the line is back in step, and its own reply is the one shown.
TEST_F(TerminalTest, ALineTypedAfterATimeOutShowsItsOwnReply) {
    driver->answerLateOnce("VER", 2500);
    frmMain->btnStat->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "ドライバと通信できませんでした。");
    TakeSentLines();
    Enter("#2");
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "1002"; }, 6000));
    // No model text is known yet: the probe goes twice, and two equal answers end it.
    EXPECT_EQ(TakeSentLines(), (QList<QByteArray>{"VER", "VER", "#2"}));
    // The next line goes out at once.
    Enter("#3");
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "1003"; }));
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"#3"});
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(TerminalTest, ReplyBytesWithoutACharacterShowAsTheirCodes) {
    const std::pair<QByteArray, QString> cases[] = {
        {"\xff\xfe\xfd", "\\xFF\\xFE\\xFD"},
        {"A\x80"
         "B\xa0"
         "C",
         "A\\x80B\\xA0C"},
        {"AB\x82", "AB\\x82"},       // a lead byte without its trail byte
        {"\x82\xa0\xb1\\", "あｱ\\"}, // characters, the backslash included, stay as they are
    };
    for (const auto& [reply, shown] : cases) {
        driver->setModelText('X', reply);
        frmMain->lblReceive->setText("before");
        Enter("VER");
        ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() != "before"; }));
        EXPECT_EQ(frmMain->lblReceive->text(), shown) << reply.toHex().constData();
    }
}

// The box draws its panel from a kept picture: the window shows the very pixels the style draws.
TEST_F(TerminalTest, KeptPanelShowsTheSamePixelsAsTheStyle) {
    QApplication::setCursorFlashTime(0); // a cursor that stays put between the paints compared
    StopProgram();
    WriteSetting("Comm", "TransmitCheck", 2); // no axis scan when the window shows
    StartProgram();
    edit = frmMain->edtSend;
    frmMain->show();
    frmMain->activateWindow();
    edit->setFocus();
    ASSERT_TRUE(WaitFor([this] { return frmMain->isVisible() && edit->hasFocus(); }));
    Type(edit, "ver\r");
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "QWC50A_C3"; }));
    const auto boxOnWindow = [this] {
        edit->repaint();
        const auto* store = static_cast<const QImage*>(frmMain->backingStore()->paintDevice());
        const qreal ratio = store->devicePixelRatio();
        const QRect place(edit->mapTo(frmMain, QPoint(0, 0)) * ratio, edit->size() * ratio);
        return store->copy(place);
    };
    const QImage firstPaint = boxOnWindow();
    const QImage fromPicture = boxOnWindow();
    Type(edit, "#"); // the colour changes: a new picture
    const QImage newColour = boxOnWindow();
    edit->setStyle(QApplication::style());
    const QImage byStyle = boxOnWindow();
    EXPECT_EQ(newColour, byStyle);
    ui::SetTextColor(edit, ui::clGray);
    edit->setText("VER");
    edit->setCursorPosition(0);
    EXPECT_EQ(firstPaint, fromPicture);
    EXPECT_EQ(fromPicture, boxOnWindow());
    frmMain->hide();
}

} // namespace
