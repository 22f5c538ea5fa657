// Tests of the simulated driver's memory and program store through its device: the address
// forms and their steps, the one continuation shared by every screen's reads, the program rows
// with their read-back, the upload walk and its end mark, and the transfer faults.
#include "SimClient.h"
#include "SimulatedDriver.h"

#include <gtest/gtest.h>

using sim::DriverConfig;
using sim::ProgramStore;
using sim::SimulatedDriver;

namespace {

std::optional<QByteArray> ask(SimClient& client, const QByteArray& line, int timeoutMs = 1000) {
    client.send(line + "\r");
    return client.reply(timeoutMs);
}

DriverConfig driverOf(const QString& axes, sim::Series series) {
    DriverConfig config;
    config.axes = axes;
    config.series = series;
    return config;
}

} // namespace

TEST(DriverMemory, AddressFormsStepAndContinueFromTheLastLocation) {
    SimulatedDriver driver(driverOf("X", sim::Series::QWB)); // byte-addressed: "#%" steps by 4
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    EXPECT_EQ(ask(client, ",?"), "E-S"); // nothing addressed yet
    client.send("#%00300000=5\r,-7\r,2147483647\r");
    EXPECT_EQ(ask(client, "#%00300000"), "5");
    EXPECT_EQ(ask(client, ",?"), "-7");
    EXPECT_EQ(ask(client, ","), "2147483647");
    EXPECT_EQ(ask(client, "#%00300004"), "-7");
    EXPECT_EQ(ask(client, "!#%00300008"), "2147483647"); // the "!" variant names the same value

    client.send("#&00310000=fffe\r");
    EXPECT_EQ(ask(client, "#&00310000"), "FFFE");
    EXPECT_EQ(ask(client, "#$00310000"), "-2"); // one 16-bit memory, two notations
    EXPECT_EQ(ask(client, ",?"), "0");
    client.send("*$10=42\r");
    EXPECT_EQ(ask(client, "*$9"), "0");
    EXPECT_EQ(ask(client, ",?"), "42");

    for (const char* refused : {"#%0030G000", "#%00300000=x", "#&1=10000000000"})
        EXPECT_EQ(ask(client, refused), "E-S") << refused;
}

TEST(DriverMemory, WordAddressedDriversHalveTheSteps) {
    SimulatedDriver driver(driverOf("X", sim::Series::QWD));
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);
    client.send("#%00300000=1\r,2\r#$00310000=3\r,4\r");
    EXPECT_EQ(ask(client, "#%00300002"), "2");
    EXPECT_EQ(ask(client, "#$00310001"), "4");
}

TEST(DriverMemory, LoggingAndAnalysisReadThroughTheOneContinuation) {
    SimulatedDriver driver(driverOf("X", sim::Series::QWA));
    driver.axis('X').logging().waveform = [](int, int sample) { return 10 * sample; };
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);
    EXPECT_EQ(ask(client, "#$D000"), "0");
    EXPECT_EQ(ask(client, ",?"), "10");
    EXPECT_EQ(ask(client, ",?"), "20");
    // A data write between two reads moves the same pointer.
    client.send("#$00001000=9\r");
    EXPECT_EQ(ask(client, ",?"), "0");
    EXPECT_EQ(ask(client, "#$DFFA"), "1"); // a logging setting with an address for a name
    client.send("#$DFFA=3\r");
    EXPECT_EQ(ask(client, "VER"), "QWA-D56"); // the write has been taken
    EXPECT_EQ(driver.axis('X').loggingSetting("#$DFFA"), "3");
}

TEST(ProgramStore, RowsAreStoredAsSentAndReadBackAndUploaded) {
    SimulatedDriver driver(driverOf("XY", sim::Series::QWC));
    driver.axis('X').program().setRows({"EV", "()OLD"});
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    client.send("Y:\rMBCL\rEV\r");
    EXPECT_EQ(ask(client, "RRX"), "EV");
    client.send("()SVON\r   2 L:\r");
    EXPECT_EQ(ask(client, "RRX"), "   2 L:"); // a marker row keeps its blanks
    client.send("/EV\r");
    EXPECT_EQ(ask(client, "VER"), "QWC50A_C3"); // the row has been taken
    EXPECT_EQ(driver.axis('Y').program().rows(),
              (QList<QByteArray>{"EV", "()SVON", "   2 L:", "/EV"}));
    EXPECT_EQ(driver.axis('X').program().rows(), (QList<QByteArray>{"EV", "()OLD"}));

    client.send("FLPT=0\r");
    QList<QByteArray> uploaded{*ask(client, "FL")};
    while (uploaded.back() != QByteArray(1, ProgramStore::kEndMark)) {
        const auto row = ask(client, "FL+");
        ASSERT_TRUE(row);
        uploaded.append(*row);
    }
    EXPECT_EQ(uploaded, (QList<QByteArray>{"EV", "()SVON", "   2 L:", "/EV", "\xFF"}));
    EXPECT_EQ(ask(client, "FL+"), "\xFF");  // the end stays the end
    EXPECT_EQ(ask(client, "X:FOO"), "E-S"); // an axis not writing a program refuses other lines
}

TEST(ProgramStore, FaultsChangeTheEchoAnswerRowsOrSilenceTheReadBack) {
    SimulatedDriver driver;
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    driver.setProgramFaults({.wrongEcho = true});
    client.send("()SVON\r");
    EXPECT_EQ(ask(client, "RRX"), "()SVOX");
    driver.setProgramFaults({.replyToRows = true});
    EXPECT_EQ(ask(client, "()SVOF"), "E-S");
    driver.setProgramFaults({.silentReadBack = true});
    EXPECT_EQ(ask(client, "RRX", 300), std::nullopt);
    EXPECT_EQ(ask(client, "VER"), "QWC50A_C3");
    driver.setProgramFaults({});
    EXPECT_EQ(ask(client, "RRX"), "()SVOF");
}
