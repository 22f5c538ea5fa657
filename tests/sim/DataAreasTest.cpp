// The simulated driver's cam and correction tables as the data transfers reach them.
#include "SimClient.h"
#include "SimulatedDriver.h"

#include <gtest/gtest.h>

namespace {

std::optional<QByteArray> Ask(SimClient& client, const QByteArray& line) {
    client.send(line + "\r");
    return client.reply(1000);
}

} // namespace

TEST(DataAreas, TablesHoldDefaultsUntilWrittenAndRefuseBadValues) {
    sim::DriverConfig config;
    config.series = sim::Series::QWB; // byte-addressed: "#%" steps by 4, "#$" by 2
    sim::SimulatedDriver driver(config);
    SimClient client(driver.slavePath());
    ASSERT_GE(client.fd(), 0);

    EXPECT_EQ(Ask(client, "#%00090000"), "0"); // the cam lift starts at 0
    EXPECT_EQ(Ask(client, "#$00088000"), "-32");
    EXPECT_EQ(Ask(client, ",?"), "-31");
    EXPECT_EQ(Ask(client, "#&00088002"), "FFE1"); // the same word in hexadecimal

    client.send("#$00088000=7\r,-8\r\r");
    EXPECT_EQ(Ask(client, "#$00088000"), "7");
    EXPECT_EQ(Ask(client, ",?"), "-8");
    EXPECT_EQ(Ask(client, ",?"), "-30"); // the bare line end wrote nothing
    EXPECT_EQ(Ask(client, ",x1"), "E-S");
    EXPECT_EQ(Ask(client, "#%00090004=123456"), std::nullopt);
    EXPECT_EQ(Ask(client, "#%00090004"), "123456");
    // Beyond the table the plain memory answers.
    EXPECT_EQ(Ask(client, "#$00090000"), "0");
}
