// The frequency response analysis commands: sine generator, logger and sweep.
#include "DriverAxis.h"

namespace sim {

bool DriverAxis::runAnalysisCommand(const QByteArray&, std::optional<QByteArray>&) { return false; }

} // namespace sim
