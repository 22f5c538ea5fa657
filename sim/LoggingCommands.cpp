// The logging commands: set-up, start and read-back of recordings.
#include "DriverAxis.h"

namespace sim {

bool DriverAxis::runLoggingCommand(const QByteArray&, std::optional<QByteArray>&) { return false; }

} // namespace sim
