#include "MemoryReuse.h"

#include <malloc.h>

namespace platform {

void KeepFreedMemoryForReuse() {
    // Blocks below 1 MiB come from the heap, and the heap keeps up to 4 MiB free at its top.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 4 << 20);
}

} // namespace platform
