// The machine's physical memory, for the version boxes.
#pragma once

#include <cstdint>

namespace platform {

// Total physical memory in bytes (0 when it cannot be read).
std::uint64_t TotalPhysicalMemory();

} // namespace platform
