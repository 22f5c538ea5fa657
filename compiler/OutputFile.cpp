// Output files of a compile. Their names are the source's with the extension replaced from the
// last '.' of the file name. They are written as text with CR LF line ends through the one safe
// save, so a failed write leaves the older file as it was and is reported with its reason.
#include "Compiler.h"

#include "platform/SafeWrite.h"

namespace kaso::compiler {

std::filesystem::path ReplaceExtension(const std::filesystem::path& path, std::string_view ext) {
    std::string name = path.filename().string();
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    name += ext;
    return path.parent_path() / name;
}

namespace {

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

} // namespace

bool WriteTextFile(const std::filesystem::path& path, std::string_view text, std::string& error) {
    return platform::WriteFileSafely(path, WithCrLf(text), error);
}

} // namespace kaso::compiler
