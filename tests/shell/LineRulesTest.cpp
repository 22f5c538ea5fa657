// The rules every screen shares: one way onto the line, one owner of a lost line, and the end of
// the program whatever windows show.
#include "AppTest.h"

#include "link/UnitCommCancel.h"
#include "link/UnitGeneral.h"
#include "link/Waits.h"
#include "shell/UnitMain.h"
#include "ui/Wait.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

namespace {

class LineRulesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        StartProgram();
        TakeSentLines();
    }
};

TEST_F(LineRulesTest, EveryControlCharacterButTheFinalCRIsDropped) {
    EXPECT_EQ(TmdlGeneral::CommandLine("X\r#5=1\r"), "X#5=1\r");
    EXPECT_EQ(TmdlGeneral::CommandLine("A\nB\tC\x1b\x7f"
                                       "D\r"),
              "ABCD\r");
    EXPECT_EQ(TmdlGeneral::CommandLine("\r"), "\r");
    EXPECT_EQ(TmdlGeneral::CommandLine("   L\r"), "   L\r"); // blanks are not control characters
    EXPECT_EQ(TmdlGeneral::CommandLine("\x82\xa0\xff\r"), "\x82\xa0\xff\r"); // CP932 and 0xFF stay
    EXPECT_EQ(TmdlGeneral::CommandLine("no end"), "no end");
    EXPECT_EQ(TmdlGeneral::CommandLine(QByteArray("A\0B\r", 4)), "AB\r");
    EXPECT_EQ(CleanLineField("12\r\n34\x01"), "1234");

    // On the wire: one line, and the driver's parameter 5 is not written.
    const int before = driver->parameter('A', 5);
    mdlGeneral->SendCommand(QByteArray("X\r#5=1\r"), ridNone);
    mdlGeneral->SendCommand(QString("#5=2\r\n#5=3\r"), ridNone);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedBytes().endsWith("#5=3\r"); }));
    EXPECT_EQ(driver->receivedBytes(), QByteArray("X#5=1\r#5=2#5=3\r"));
    EXPECT_EQ(driver->parameter('A', 5), before);
}

// A paste that holds a character the line cannot carry is refused as it is pasted: the box keeps
// what it had, the message names the character (by its code when it shows nothing of its own)
// and the box, and nothing of it goes out.
TEST_F(LineRulesTest, TheTerminalRefusesAPasteItCannotSendAndKeepsItsLine) {
    StopProgram();
    WriteSetting("Comm", "TransmitCheck", 2); // no axis scan when the window shows
    StartProgram();
    frmMain->show();
    frmMain->activateWindow();
    ASSERT_TRUE(WaitFor([] { return QApplication::activeWindow() == frmMain; }));
    frmMain->edtSend->setFocus();
    Type(frmMain->edtSend, "x:ver");
    const std::pair<QString, QString> cases[] = {{"Q\tR", "U+0009"},
                                                 {"Q\nR", "U+000A"},
                                                 {"VER\r#5=1", "U+000D"},
                                                 {QString("A") + QChar(0x00A0) + "B", "U+00A0"},
                                                 {QString("e") + QChar(0x0301), "U+0301"},
                                                 {"'€\tQ", "€"}};
    for (const auto& [pasted, named] : cases) {
        SCOPED_TRACE(named.toStdString());
        ASSERT_TRUE(PasteIsRefused(pasted, named, "送信欄"));
        EXPECT_EQ(messages[0].caption, "入力エラー");
        EXPECT_EQ(frmMain->edtSend->text(), "X:VER");
    }
    Pause(100);
    EXPECT_TRUE(TakeSentLines().isEmpty());
    EXPECT_EQ(frmMain->lblAxis->text(), "*");
    // What the line carries is pasted and sent as the box shows it.
    messages.clear();
    PasteOverFocusedBox("A:VER");
    PressKey(frmMain->edtSend, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedLines().contains("A:VER"); }));
    EXPECT_TRUE(messages.empty());
}

TEST_F(LineRulesTest, TextWithoutACp932CodeIsRefusedNeverSentAsAQuestionMark) {
    // The terminal: the message names the character and the box; the line stays to be mended.
    frmMain->edtSend->setFocus();
    Type(frmMain->edtSend, "'€✓\r");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "送信欄 に送信できない文字「€」があります。\n入力内容を確認してください。");
    EXPECT_EQ(messages[0].caption, "入力エラー");
    EXPECT_EQ(frmMain->edtSend->text(), "'€✓");
    EXPECT_EQ(frmMain->lblAxis->text(), "*");

    // The line function itself sends nothing of such a text; characters that have a code (the
    // wave dash and minus sign that CP932 keeps a code for) go out in it.
    const TRequestId idBefore = mdlGeneral->LineHolder();
    EXPECT_THROW(mdlGeneral->SendCommand(QString("X:#5=1😀\r"), ridTerminal), EUnsendableText);
    EXPECT_EQ(mdlGeneral->LineHolder(), idBefore);
    mdlGeneral->SendCommand(QString("'～－ｱ\r"), ridNone);
    ASSERT_TRUE(WaitFor([this] { return driver->receivedBytes().endsWith('\r'); }));
    EXPECT_EQ(driver->receivedBytes(), QByteArray("'\x81\x60\x81\x7c\xb1\r"));
}

TEST_F(LineRulesTest, ALostLineEndsEveryExchangeAndIsReportedOnce) {
    QObject idleWindow;
    int returnedToIdle = 0;
    mdlGeneral->OnLineLost(&idleWindow, [&] { ++returnedToIdle; });
    auto gone = std::make_unique<QObject>();
    int goneCalled = 0;
    mdlGeneral->OnLineLost(gone.get(), [&] { ++goneCalled; });
    gone.reset(); // a deleted window is not asked

    frmCommCancel->StartTransfer();
    driver->setFault(sim::Fault::Silent);
    QElapsedTimer sinceHangUp;
    QTimer::singleShot(100, driver.get(), [&] {
        sinceHangUp.start();
        driver->hangUp();
    });
    mdlGeneral->SendCommand(QByteArray("VER\r"), ridPrm);
    EXPECT_FALSE(WaitForReply(frmMain->ElapsedMs, *frmMain->Timer2));
    ASSERT_TRUE(sinceHangUp.isValid());
    EXPECT_LT(sinceHangUp.elapsed(), 800); // the wait ended with the line, not with its time limit

    EXPECT_EQ(returnedToIdle, 1);
    EXPECT_EQ(goneCalled, 0);
    EXPECT_EQ(mdlGeneral->LineHolder(), ridNone);
    EXPECT_FALSE(frmCommCancel->isVisible());
    EXPECT_TRUE(frmCommCancel->CancelRequested);
    EXPECT_EQ(mdlGeneral->LineLosses(), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.startsWith("Commポートとの接続が切れました。"));
    EXPECT_THROW(mdlGeneral->SendCommand(QByteArray("VER\r"), ridNone), platform::ECommNotOpen);
    Pause(100);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(LineRulesTest, ClosingTheMainWindowEndsEveryWaitAndSilencesMessageBoxes) {
    bool waitEnded = false;
    QTimer::singleShot(50, frmMain, [] { frmMain->close(); });
    QTimer::singleShot(0, frmMain, [&] {
        ui::ProcessMessagesUntil([] { return false; }); // a wait that would never end by itself
        waitEnded = true;
    });
    ASSERT_TRUE(WaitFor([&] { return waitEnded; }, 10000));
    EXPECT_TRUE(ui::QuitRequested());
    EXPECT_EQ(ui::ShowMessage("q", "c", ui::MsgIcon::Question, ui::MsgButtons::YesNo),
              ui::MsgResult::No);
    EXPECT_EQ(ui::ShowMessage("q", "c", ui::MsgIcon::Question, ui::MsgButtons::YesNoCancel),
              ui::MsgResult::Cancel);
    EXPECT_TRUE(messages.empty());
    ui::ClearQuitRequest();
}

} // namespace
