// The one way the program saves a whole file: the bytes go to a temporary file with a unique name
// in the target's folder, reach the disk, and only then take the target's place. A save that
// fails at any step leaves the file that was there untouched and says why. Plain C++, so the
// compilers write their outputs the same way.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// True on success; otherwise false with the step and the system's reason in `error`.
bool WriteFileSafely(const std::filesystem::path& path, std::string_view bytes, std::string& error);

} // namespace platform
