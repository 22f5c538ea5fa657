// The reply routing: a table of receive routines keyed by request id. Each window that receives
// replies fills in its entries when it is created; the data module hands every answer to the
// routine of the receiver its question named, and tells it when a question ended without one.
#pragma once

#include "UnitGeneral.h"

#include <functional>

// A receive routine; its sender is the data module.
using ReplyReceiver = std::function<void(QObject* sender)>;
// What a receiver does when its question ended without its answer: `asked` tells whether the
// question went out (its limit ran out) or never could (its axis did not answer the probe before
// it, or its send failed).
using NoAnswerReceiver = std::function<void(bool asked)>;

// Makes `receive` (and `noAnswer`) the routines of `id` for as long as `window` lives; a window
// created later takes the id over.
void SetReplyReceiver(TRequestId id, QObject* window, ReplyReceiver receive,
                      NoAnswerReceiver noAnswer = {});

// Hands the reply line to the routine of `id`. An id without one (ridStopped, ridNone,
// ridPrmSend, any unknown id) or whose window is gone takes nothing: the line is only kept.
void RouteReply(TRequestId id, QObject* sender);
// Tells the receiver of `id` that its question ended without its answer.
void RouteNoAnswer(TRequestId id, bool asked);
