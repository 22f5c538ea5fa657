// Output files of a compile. Their names are the source's with the extension replaced from the
// last '.' of the file name. They are written as text with CR LF line ends into a temporary file
// beside the target, which then replaces the target, so a failed write leaves the older file
// as it was and is reported with its reason.
#include "Compiler.h"

#include <cerrno>
#include <cstring>
#include <fstream>

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

std::filesystem::path TemporaryBeside(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    return temporary;
}

} // namespace

bool WriteTextFile(const std::filesystem::path& path, std::string_view text, std::string& error) {
    const std::filesystem::path temporary = TemporaryBeside(path);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = "cannot create " + temporary.string() + ": " + std::strerror(errno);
            return false;
        }
        const std::string bytes = WithCrLf(text);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            error = "cannot write " + temporary.string() + ": " + std::strerror(errno);
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        error = "cannot replace " + path.string() + ": " + ec.message();
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace kaso::compiler
