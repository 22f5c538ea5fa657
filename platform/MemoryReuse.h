// How the program's memory allocator gives memory back to the system.
#pragma once

namespace platform {

// Keeps what the program frees, up to a few megabytes, for its next use instead of giving it back
// to the system at once: a compile of a long program would otherwise map its tables anew and
// fault every page of them in each time (the allocator's default gives blocks from 128 KiB on
// back at once), and take longer per line than a short program's. Call first thing at start.
void KeepFreedMemoryForReuse();

} // namespace platform
