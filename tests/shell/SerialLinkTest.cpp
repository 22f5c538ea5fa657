// The serial data module: how the receive ring cuts reply lines, where each line is routed, and
// what a send and a port set-up leave behind.
#include "AppTest.h"

#include "editor/UnitEdit.h"
#include "link/UnitGeneral.h"
#include "shell/UnitMain.h"

namespace {

class SerialLinkTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        StartProgram();
        mdlGeneral->TakeLine(ridNone);
    }
    // A send clears the flag; an empty line, which the driver ignores, keeps the receiver.
    static void ClearReplyReceived() {
        mdlGeneral->SendCommand(QByteArray("\r"), mdlGeneral->LineHolder());
    }
    // Feeds chunks as separate receive events and counts the lines delivered.
    int Deliveries(const QList<QByteArray>& chunks) {
        int delivered = 0;
        for (const QByteArray& chunk : chunks) {
            ClearReplyReceived();
            mdlGeneral->ReceiveChunk(chunk);
            delivered += mdlGeneral->ReplyReceived() ? 1 : 0;
        }
        return delivered;
    }
};

TEST_F(SerialLinkTest, RingCutsTheNewestLineOfEachChunk) {
    // Slot 0's CR delimits the very first reply.
    EXPECT_EQ(Deliveries({"ABC\r"}), 1);
    EXPECT_EQ(mdlGeneral->LastReply(), "ABC");
    // A line arriving in two events is delivered once, with the second.
    EXPECT_EQ(Deliveries({"12", "34\r"}), 1);
    EXPECT_EQ(mdlGeneral->LastReply(), "1234");
    // Two lines in one event: only the last one.
    EXPECT_EQ(Deliveries({"A\rB\r"}), 1);
    EXPECT_EQ(mdlGeneral->LastReply(), "B");
    // An event ending in an empty line delivers nothing and leaves LastReply.
    EXPECT_EQ(Deliveries({"A\r\r"}), 0);
    EXPECT_EQ(mdlGeneral->LastReply(), "B");
    // CR LF line ends: the LF begins the next line.
    EXPECT_EQ(Deliveries({"abc\r\n", "def\r\n"}), 2);
    EXPECT_EQ(mdlGeneral->LastReply(), "\ndef");
}

TEST_F(SerialLinkTest, RingLimitsLineLength) {
    EXPECT_EQ(Deliveries({"\r" + QByteArray(48, 'x') + "\r"}), 1);
    EXPECT_EQ(mdlGeneral->LastReply(), QByteArray(48, 'x'));
    EXPECT_EQ(Deliveries({QByteArray(49, 'y') + "\r"}), 0);
    EXPECT_EQ(Deliveries({"next\r"}), 1);
    EXPECT_EQ(mdlGeneral->LastReply(), "next");
    // Each character after the newest CR in the same event lowers the limit by one.
    EXPECT_EQ(Deliveries({QByteArray(46, 'a') + "\rzz"}), 1);
    EXPECT_EQ(mdlGeneral->LastReply(), QByteArray(46, 'a'));
    EXPECT_EQ(Deliveries({"\r" + QByteArray(47, 'b') + "\rzz"}), 0);
    // More than the whole ring in one event, without a CR in its last 50 characters.
    EXPECT_EQ(Deliveries({"\r" + QByteArray(120, 'c')}), 0);
}

TEST_F(SerialLinkTest, RepliesAreRoutedByRequestId) {
    mdlGeneral->TakeLine(ridTerminal);
    Deliveries({"QWC50A\r"});
    EXPECT_EQ(frmMain->lblReceive->text(), "QWC50A");

    frmEdit->memSub->clear();
    mdlGeneral->TakeLine(ridEditReply);
    Deliveries({"OK\r"});
    EXPECT_EQ(frmEdit->memSub->toPlainText(), "[KASO返信] OK");

    frmMain->lblReceive->setText("unchanged");
    for (TRequestId id :
         std::initializer_list<TRequestId>{ridStopped, ridNone, ridPrmSend, 11, 99}) {
        mdlGeneral->TakeLine(id);
        EXPECT_EQ(Deliveries({"R" + QByteArray::number(id) + "\r"}), 1) << id;
        EXPECT_EQ(mdlGeneral->LastReply(), "R" + QByteArray::number(id));
        EXPECT_EQ(mdlGeneral->LineHolder(), id);
    }
    EXPECT_EQ(frmMain->lblReceive->text(), "unchanged");
}

TEST_F(SerialLinkTest, LinesFromTheDriverReachTheTerminal) {
    mdlGeneral->TakeLine(ridTerminal);
    driver->setFault(sim::Fault::CutLines, 40);
    mdlGeneral->SendQuestion(QByteArray("VER\r"), ridTerminal);
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "QWC50A_C3"; }));
    EXPECT_EQ(TakeSentLines(), QList<QByteArray>{"VER"});
}

TEST_F(SerialLinkTest, ALineArrivingInPiecesWakesTheProgramOnce) {
    int wakeUps = 0;
    const auto receive = mdlGeneral->PortForTests().OnCommReceive;
    mdlGeneral->PortForTests().OnCommReceive = [&](QObject* sender, std::uint16_t count) {
        ++wakeUps;
        receive(sender, count);
    };
    mdlGeneral->TakeLine(ridTerminal);
    driver->setFault(sim::Fault::CutLines, 40);
    mdlGeneral->SendQuestion(QByteArray("VER\r"), ridTerminal);
    ASSERT_TRUE(WaitFor([] { return frmMain->lblReceive->text() == "QWC50A_C3"; }));
    EXPECT_EQ(wakeUps, 1);
    // A hang-up while the rest of a line is awaited is still seen, and told once.
    mdlGeneral->SendQuestion(QByteArray("VER\r"), ridTerminal);
    driver->hangUp();
    ASSERT_TRUE(WaitFor([this] { return !messages.empty(); }));
    EXPECT_FALSE(mdlGeneral->PortForTests().Opened());
    Pause(50);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(SerialLinkTest, EveryByteButTheLineEndsArrivesUnchanged) {
    // None of them may act as an erase, kill, end-of-file, signal or flow-control character.
    QByteArray bytes;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n') bytes += char(c);
    for (qsizetype at = 0; at < bytes.size(); at += 40) {
        const QByteArray part = bytes.mid(at, 40);
        driver->setModelText('X', part);
        mdlGeneral->SendQuestion(QByteArray("VER\r"), ridNone);
        ASSERT_TRUE(WaitFor([] { return mdlGeneral->ReplyReceived(); })) << at;
        EXPECT_EQ(mdlGeneral->LastReply().toHex().toStdString(), part.toHex().toStdString()) << at;
    }
}

TEST_F(SerialLinkTest, FailedSendLeavesFlagsAndRequestId) {
    mdlGeneral->TakeLine(ridStat);
    mdlGeneral->ReceiveChunk("x\r");
    ASSERT_TRUE(mdlGeneral->ReplyReceived());
    mdlGeneral->PortForTests().Close();
    EXPECT_THROW(mdlGeneral->SendCommand(QByteArray("VER\r"), ridTerminal), std::exception);
    EXPECT_FALSE(mdlGeneral->ReplyReceived());
    EXPECT_EQ(mdlGeneral->LineHolder(), ridStat);
}

TEST_F(SerialLinkTest, SetCommParamsChoosesFramingAndPad) {
    ClearReplyReceived();
    mdlGeneral->SetCommParams(3, 9600, 1);
    EXPECT_EQ(mdlGeneral->PortForTests().Port, 3);
    EXPECT_EQ(mdlGeneral->PortForTests().BaudRate, 9600);
    EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_7);
    EXPECT_EQ(mdlGeneral->PortForTests().ParityBits(), platform::pbEven);
    EXPECT_EQ(mdlGeneral->PadLength(), 3);
    EXPECT_TRUE(mdlGeneral->ReplyReceived());
    for (short parity : {0, 2, -1}) {
        mdlGeneral->SetCommParams(1, 1200, parity);
        EXPECT_EQ(mdlGeneral->PortForTests().ByteSize(), platform::_8);
        EXPECT_EQ(mdlGeneral->PortForTests().ParityBits(), platform::pbNone);
    }
    const std::pair<unsigned, int> pads[] = {{1200, 0}, {4800, 1}, {19200, 7}, {38400, 14}};
    for (auto [baud, pad] : pads) {
        mdlGeneral->SetCommParams(1, baud, 0);
        EXPECT_EQ(mdlGeneral->PadLength(), pad) << baud;
    }
}

} // namespace
