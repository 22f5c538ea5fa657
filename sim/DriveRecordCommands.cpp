// The data table and alarm history commands.
#include "DriverAxis.h"

namespace sim {

bool DriverAxis::runDriveRecordCommand(const QByteArray&, std::optional<QByteArray>&) {
    return false;
}

} // namespace sim
