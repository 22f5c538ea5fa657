#include "ReplyRouting.h"

#include <QPointer>
#include <map>

namespace {

struct Receiver {
    QPointer<QObject> window;
    ReplyReceiver receive;
};

std::map<TRequestId, Receiver>& Receivers() {
    static std::map<TRequestId, Receiver> receivers;
    return receivers;
}

} // namespace

void SetReplyReceiver(TRequestId id, QObject* window, ReplyReceiver receive) {
    Receivers()[id] = {window, std::move(receive)};
}

void RouteReply(TRequestId id, QObject* sender) {
    const auto found = Receivers().find(id);
    if (found == Receivers().end() || found->second.window.isNull()) return;
    // A copy: the routine may register a receiver itself, which would replace its own entry.
    const ReplyReceiver receive = found->second.receive;
    receive(sender);
}
