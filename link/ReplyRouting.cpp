#include "ReplyRouting.h"

#include <QPointer>
#include <map>

namespace {

struct Receiver {
    QPointer<QObject> window;
    ReplyReceiver receive;
    NoAnswerReceiver noAnswer;
};

std::map<TRequestId, Receiver>& Receivers() {
    static std::map<TRequestId, Receiver> receivers;
    return receivers;
}

// The receiver of `id` while its window lives.
const Receiver* Find(TRequestId id) {
    const auto found = Receivers().find(id);
    if (found == Receivers().end() || found->second.window.isNull()) return nullptr;
    return &found->second;
}

} // namespace

void SetReplyReceiver(TRequestId id, QObject* window, ReplyReceiver receive,
                      NoAnswerReceiver noAnswer) {
    Receivers()[id] = {window, std::move(receive), std::move(noAnswer)};
}

// Each routine is called on a copy: it may register a receiver itself, which would replace its
// own entry.
void RouteReply(TRequestId id, QObject* sender) {
    const Receiver* receiver = Find(id);
    if (!receiver) return;
    const ReplyReceiver receive = receiver->receive;
    receive(sender);
}

void RouteNoAnswer(TRequestId id, bool asked) {
    const Receiver* receiver = Find(id);
    if (!receiver || !receiver->noAnswer) return;
    const NoAnswerReceiver noAnswer = receiver->noAnswer;
    noAnswer(asked);
}
