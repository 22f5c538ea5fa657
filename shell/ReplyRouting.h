// Hands a reply line to the receive routine of the screen that the request id names.
#pragma once

#include "UnitGeneral.h"

void RouteReply(TRequestId id, QObject* sender);
