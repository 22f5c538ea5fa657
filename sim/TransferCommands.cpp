// The program and data transfer commands of the editor.
#include "DriverAxis.h"

namespace sim {

bool DriverAxis::runTransferCommand(const QByteArray&, std::optional<QByteArray>&) { return false; }

} // namespace sim
