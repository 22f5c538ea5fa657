// Tests of the simulated driver through its device, as the program sees it.
#include "SimulatedDriver.h"
#include "SimClient.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

using sim::DriverConfig;
using sim::Fault;
using sim::SimulatedDriver;

void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << '"';
}

namespace {

DriverConfig lineOf(const QString& axes, sim::Series series = sim::Series::QWC) {
    DriverConfig config;
    config.axes = axes;
    config.series = series;
    return config;
}

std::optional<QByteArray> ask(SimClient& client, const QByteArray& line, int timeoutMs = 1000) {
    client.send(line + "\r");
    return client.reply(timeoutMs);
}

// Lines that answer nothing, followed by a query: the first reply must be the query's.
std::optional<QByteArray> askAfter(SimClient& client, const QByteArray& silentLines,
                                   const QByteArray& query) {
    client.send(silentLines);
    return ask(client, query);
}

TEST(SimulatedDriver, DesignationChoosesTheAnsweringAxis) {
    SimulatedDriver driver(lineOf("XAC"));
    driver.setModelText('A', "QWC30");
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    EXPECT_EQ(ask(client, "X:VER"), "QWC50A_C3");
    EXPECT_EQ(ask(client, "A:VER"), "QWC30");
    EXPECT_EQ(ask(client, "VER"), "QWC30"); // the designation stays in force
    EXPECT_EQ(askAfter(client, "C:\r", "#33"), "67");
    EXPECT_EQ(askAfter(client, "B:\rVER\r", "A:#33"), "65"); // absent B answers nothing
    EXPECT_EQ(ask(client, "X : # 33"), "88");                // blanks do not count
}

TEST(SimulatedDriver, AxisProbeFindsExactlyThePresentAxes) {
    SimulatedDriver driver(lineOf("CAX", sim::Series::QWA));
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    for (char letter : QByteArray("XYZABCDEFGHIJKLMNOPQRSTUVW"))
        client.send(QByteArray(1, letter) + ":#33\r");
    client.send("*:\rVER\r");
    QList<QByteArray> replies;
    while (replies.isEmpty() || replies.back() != "QWA-D56") {
        const auto reply = client.reply();
        ASSERT_TRUE(reply) << "after " << replies.size() << " replies";
        replies.append(*reply);
    }
    EXPECT_EQ(replies, QList<QByteArray>({"88", "65", "67", "QWA-D56"}));
}

TEST(SimulatedDriver, AllAxesDesignationSetsEveryAxisAndOneAnswers) {
    SimulatedDriver driver(lineOf("AZ"));
    driver.setModelText('A', "first");
    driver.setModelText('Z', "last");
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    EXPECT_EQ(ask(client, "VER"), "last"); // all axes designated from the start; Z before A
    EXPECT_EQ(askAfter(client, "A:\r*:\r#7=5\r", "#7"), "5");
    EXPECT_EQ(driver.parameter('A', 7), 5);
    EXPECT_EQ(driver.parameter('Z', 7), 5);
    EXPECT_EQ(driver.parameter('B', 7), 1007); // absent axes are not set
}

TEST(SimulatedDriver, ParametersRoundTripWithinTheirCount) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    EXPECT_EQ(ask(client, "#5"), "1005");
    EXPECT_EQ(askAfter(client, "#5=-12\r", "#5"), "-12");
    EXPECT_EQ(driver.parameter('X', 5), -12);
    driver.setParameter('X', 9, 77);
    EXPECT_EQ(ask(client, "#009"), "77");

    driver.setParameterCount('X', 64);
    EXPECT_EQ(ask(client, "#63"), "1063");
    for (const char* refused : {"#64", "#64=1", "#5=abc", "#5=", "#=3", "#-1", "#", "#99999999999"})
        EXPECT_EQ(ask(client, refused), "E-S") << refused;
    EXPECT_EQ(driver.parameter('X', 64), 1064);
    EXPECT_EQ(driver.parameter('X', 5), -12);
}

TEST(SimulatedDriver, LockMasksSettingsAndUnknownCommands) {
    SimulatedDriver driver;
    driver.setLockMask('X', 6, -256);
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    EXPECT_EQ(ask(client, "PRK0"), "-1");
    EXPECT_EQ(ask(client, "PRK6"), "-256");
    EXPECT_EQ(ask(client, "PRK7"), "E-S");
    EXPECT_EQ(ask(client, "FOO"), "E-S");
    EXPECT_EQ(askAfter(client, ".\rBH2\rBL\r\r", "VER"), "QWC50A_C3");
}

TEST(SimulatedDriver, LogsLinesCutAtCarriageReturn) {
    SimulatedDriver driver;
    int signalled = 0;
    QObject::connect(&driver, &SimulatedDriver::lineReceived, [&] { ++signalled; });
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    client.send("VE");
    client.send("R\r\n#1");
    client.send("\r");
    EXPECT_EQ(client.reply(), "QWC50A_C3");
    EXPECT_EQ(client.reply(), "1001");
    EXPECT_EQ(driver.receivedLines(), QList<QByteArray>({"VER", "#1"}));
    EXPECT_EQ(driver.receivedBytes(), "VER\r\n#1\r");
    EXPECT_EQ(signalled, 2);
    driver.clearReceived();
    EXPECT_TRUE(driver.receivedLines().isEmpty());
    EXPECT_TRUE(driver.receivedBytes().isEmpty());
}

TEST(SimulatedDriver, SilentFaultAnswersNothingUntilCleared) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setFault(Fault::Silent);
    EXPECT_FALSE(ask(client, "VER", 200));
    driver.setFault(Fault::None);
    EXPECT_EQ(ask(client, "VER"), "QWC50A_C3");
    EXPECT_TRUE(client.pending().isEmpty());
}

TEST(SimulatedDriver, LateFaultDelaysEachReply) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setFault(Fault::Late, 300);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(ask(client, "VER", 2000), "QWC50A_C3");
    EXPECT_GE(clock.elapsed(), 290); // a millisecond of rounding either way
}

TEST(SimulatedDriver, NotSupportedFaultAnswersEveryQueryWithES) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setFault(Fault::NotSupported);
    EXPECT_EQ(ask(client, "VER"), "E-S");
    EXPECT_EQ(askAfter(client, "#1=5\r", "#1"), "E-S");
}

TEST(SimulatedDriver, GarbageFaultSendsOneLineOfHighBytes) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setFault(Fault::Garbage);
    const auto reply = ask(client, "VER");
    ASSERT_TRUE(reply);
    EXPECT_NE(*reply, "QWC50A_C3");
    EXPECT_GE(reply->size(), 8);
    EXPECT_TRUE(std::any_of(reply->begin(), reply->end(), [](char c) { return uchar(c) > 0x7F; }));
    EXPECT_TRUE(client.pending().isEmpty()); // one CR, at the end
}

TEST(SimulatedDriver, OverLongFaultSendsSixtyCharacters) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setFault(Fault::OverLong);
    const auto reply = ask(client, "VER");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->size(), 60);
    EXPECT_TRUE(reply->startsWith("QWC50A_C3"));
}

TEST(SimulatedDriver, CutLinesFaultSplitsEachReply) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setFault(Fault::CutLines);
    EXPECT_EQ(ask(client, "VER"), "QWC50A_C3");
    const auto chunks = client.chunks();
    ASSERT_GE(chunks.size(), 2);
    EXPECT_FALSE(chunks.front().bytes.contains('\r'));
    EXPECT_GE(chunks.back().atMs - chunks.front().atMs, 25);
}

TEST(SimulatedDriver, ReadsTheLineSettingsTheProgramSet) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    client.setLine(B19200, CS8 | CSTOPB);
    EXPECT_EQ(driver.inputSpeed(), speed_t(B19200));
    EXPECT_EQ(driver.controlFlags() & CBAUD, tcflag_t(B19200));
    EXPECT_TRUE(driver.controlFlags() & CSTOPB);

    client.setLine(B1200, CS7 | PARENB);
    EXPECT_EQ(driver.inputSpeed(), speed_t(B1200));
    EXPECT_EQ(driver.controlFlags() & CBAUD, tcflag_t(B1200));
    EXPECT_FALSE(driver.controlFlags() & CSTOPB);
}

TEST(SimulatedDriver, DeviceReopensAfterTheProgramClosedIt) {
    SimulatedDriver driver;
    for (int round = 0; round < 3; ++round) {
        SimClient client(driver.slavePath());
        ASSERT_GE(client.fd(), 0);
        EXPECT_EQ(ask(client, "VER"), "QWC50A_C3") << "round " << round;
    }
}

TEST(SimulatedDriver, HangUpMakesTheDeviceDisappear) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);
    ASSERT_TRUE(ask(client, "VER"));

    driver.hangUp();
    EXPECT_FALSE(driver.isOpen());
    EXPECT_TRUE(client.waitUntil([&] { return client.hungUp(); }, 1000));
    EXPECT_LT(SimClient(driver.slavePath()).fd(), 0);
}

} // namespace
