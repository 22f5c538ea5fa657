// The status poll commands a status monitor sends: the status words, the bars, the extra inputs
// and outputs, the mailbox state and the variables the monitors offer. The driver takes them in
// either case. The mode "M" and "BACT" are answered with the analysis commands.
#include "DriverAxis.h"

#include <utility>

namespace sim {

namespace {

// What an axis answers until a test sets another reply.
const std::map<QByteArray, QByteArray>& defaultStatusReplies() {
    static const std::map<QByteArray, QByteArray> replies = [] {
        std::map<QByteArray, QByteArray> table = {
            {"#STAT", "16385"}, // ready, and bit 14, which is always set
            {"#ALST", "0"},     {"#INST", "1"},  {"#OUST", "1"}, {"$QREF", "0"},  {"$LOAD", "0"},
            {"INSTA", "0"},     {"POLST", "1"},  {"BUSAL", "0"}, {"#$0010", "0"}, {"##83A1", "FF"},
            {"#$8390", "255"},  {"MBST", "OFF"}, {"#SQPT", "0"}};
        for (const char* name :
             {"#VSET", "$PACT",  "$VACT",  "$AACT",  "$PREF",  "$VREF",  "$AREF",  "$PCOM",
              "$VCOM", "$ACOM",  "$QCOM",  "$PERR",  "$VERR",  "$AERR",  "$VFFD",  "$AFFD",
              "$QFFD", "#THET",  "$EDEG",  "#VACT",  "#VREF",  "#QREF",  "#PCOM",  "#VCOM",
              "#QCOM", "#VFFD",  "#QFFD",  "$ANCOM", "IREFU",  "IREFV",  "$VACTR", "#VACTR",
              "#AACT", "#AACTR", "$PERR1", "#PERR1", "#IACTQ", "#IREFQ", "#PWMQ",  "#PWMU",
              "#PWMV", "ANCOM",  "ANIN1",  "ANIN2",  "VSRH",   "!ENCS",  "SQTX"})
            table.emplace(name, "0"); // keeps the status replies above
        return table;
    }();
    return replies;
}

} // namespace

std::optional<QByteArray> DriverAxis::statusReply(const QByteArray& command) const {
    const QByteArray key = command.toUpper();
    if (const auto set = statusReplies_.find(key); set != statusReplies_.end()) return set->second;
    if (const auto known = defaultStatusReplies().find(key); known != defaultStatusReplies().end())
        return known->second;
    return std::nullopt;
}

void DriverAxis::setStatusReply(const QByteArray& command, std::optional<QByteArray> reply) {
    statusReplies_[command.toUpper()] = std::move(reply);
}

bool DriverAxis::runStatusCommand(const QByteArray& command, std::optional<QByteArray>& reply) {
    const QByteArray key = command.toUpper();
    if (!statusReplies_.contains(key) && !defaultStatusReplies().contains(key)) return false;
    reply = statusReply(key);
    return true;
}

} // namespace sim
