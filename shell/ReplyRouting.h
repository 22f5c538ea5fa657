// The reply routing: a table of receive routines keyed by request id. Each window that receives
// replies fills in its entries when it is created; the data module hands every reply line to the
// routine that the current request id names.
#pragma once

#include "UnitGeneral.h"

#include <functional>

// A receive routine; its sender is the data module.
using ReplyReceiver = std::function<void(QObject* sender)>;

// Makes `receive` the routine of `id` for as long as `window` lives; a window created later
// takes the id over.
void SetReplyReceiver(TRequestId id, QObject* window, ReplyReceiver receive);

// Hands the reply line to the routine of `id`. An id without one (ridStopped, ridNone,
// ridPrmSend, any unknown id) or whose window is gone takes nothing: the line is only kept.
void RouteReply(TRequestId id, QObject* sender);
