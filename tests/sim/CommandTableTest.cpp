// The simulator's command table: the command picks its one entry, however the entries were made.
#include "CommandTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

std::optional<QByteArray> Lookup(const sim::CommandTable& table, const QByteArray& command) {
    const sim::CommandTable::Handler* handler = table.find(command);
    return handler ? (*handler)(command) : QByteArray("<no entry>");
}

sim::CommandTable::Handler Answer(const QByteArray& reply) {
    return [reply](const QByteArray&) { return reply; };
}

TEST(CommandTable, NameThenSyntaxThenLongestPrefixAndNoCommandTwice) {
    sim::CommandTable table;
    table.addPrefix("#", Answer("parameter"));
    table.addPrefix("#DTPT=", Answer("selection"));
    table.addSyntax([](const QByteArray& command) { return command.startsWith("#%"); },
                    Answer("memory"));
    table.addName("#40", Answer("kind"));
    table.addAnyCaseName("#STAT", Answer("status"));
    table.addSetting("NFST", Answer("filter"));

    EXPECT_EQ(Lookup(table, "#33"), "parameter");
    EXPECT_EQ(Lookup(table, "#DTPT=5"), "selection");
    EXPECT_EQ(Lookup(table, "#%0010C000"), "memory");
    EXPECT_EQ(Lookup(table, "#40"), "kind");
    EXPECT_EQ(Lookup(table, "#stat"), "status");
    EXPECT_EQ(Lookup(table, "NFST"), "filter");
    EXPECT_EQ(Lookup(table, "NFST=3"), "filter");
    EXPECT_EQ(Lookup(table, "nfst"), "<no entry>"); // only any-case names take other cases
    EXPECT_EQ(Lookup(table, "NFSTX"), "<no entry>");

    EXPECT_THROW(table.addName("#40", Answer("again")), std::logic_error);
    EXPECT_THROW(table.addAnyCaseName("#Stat", Answer("again")), std::logic_error);
    EXPECT_THROW(table.addPrefix("NFST=", Answer("again")), std::logic_error);
    table.replaceName("#40", Answer("set by a test"));
    EXPECT_EQ(Lookup(table, "#40"), "set by a test");
}

} // namespace
