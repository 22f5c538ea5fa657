// Opens a help file with the desktop's viewer.
#pragma once

#include <QString>

namespace platform {

// False when the file does not exist or no viewer would take it.
bool OpenHelpFile(const QString& path);

} // namespace platform
