// The status poll commands a status monitor sends.
#include "DriverAxis.h"

namespace sim {

bool DriverAxis::runStatusCommand(const QByteArray&, std::optional<QByteArray>&) { return false; }

} // namespace sim
