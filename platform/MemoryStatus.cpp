#include "MemoryStatus.h"

#include <sys/sysinfo.h>

namespace platform {

std::uint64_t TotalPhysicalMemory() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return 0;
    return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

} // namespace platform
