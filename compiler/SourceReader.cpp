// Source bytes to lines. Each line is upper-cased, a TAB becomes a blank, an apostrophe cuts
// the rest of the line as a comment, and the line ends in '\n' (CR LF and LF both end a line).
// The end of the file, or a byte 0xFF, ends the source; a last line without a line end still
// gets '\n'.
//
// The bytes are CP932: the second byte of a double-byte character is left as it is, so the
// upper-casing never turns one character into another.
#include "Compiler.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace kaso::compiler {

namespace {

constexpr unsigned char kEndOfSource = 0xFF;

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

class LineCutter {
public:
    explicit LineCutter(std::string_view bytes) : bytes_(bytes) {}

    bool Next(SourceLine& line) {
        line.text.clear();
        line.hadComment = false;
        if (AtEnd()) return false;
        bool inComment = false;
        while (!AtEnd()) {
            const char c = bytes_[pos_++];
            if (c == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n') continue;
            if (c == '\n') break;
            if (inComment) continue;
            if (c == '\'') {
                inComment = line.hadComment = true;
                continue;
            }
            Append(line.text, c);
        }
        line.text.push_back('\n');
        return true;
    }

private:
    bool AtEnd() const {
        return pos_ >= bytes_.size() || static_cast<unsigned char>(bytes_[pos_]) == kEndOfSource;
    }

    void Append(std::string& text, char c) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsLeadByte(byte) && pos_ < bytes_.size() &&
            IsTrailByte(static_cast<unsigned char>(bytes_[pos_]))) {
            text.push_back(c);
            text.push_back(bytes_[pos_++]);
        } else if (c == '\t') {
            text.push_back(' ');
        } else if (c >= 'a' && c <= 'z') {
            text.push_back(static_cast<char>(c - 'a' + 'A'));
        } else {
            text.push_back(c);
        }
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

} // namespace

// Read in blocks into room taken once for the whole file: a text grown byte by byte takes new
// memory again and again, and the compile's time would grow faster than the file.
bool LoadSourceFile(const std::filesystem::path& path, std::string& bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.clear();
    if (const auto size = std::filesystem::file_size(path, ec); !ec) bytes.reserve(size);
    std::array<char, 1 << 16> block;
    while (in) {
        in.read(block.data(), block.size());
        bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
    }
    return !in.bad();
}

bool ReadSourceLines(std::string_view bytes, int limit, std::vector<SourceLine>& lines) {
    lines.clear();
    // Room for every line at once (see LoadSourceFile).
    const auto lineEnds = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    lines.reserve(std::min(lineEnds + 1, static_cast<std::size_t>(limit) + 1));
    LineCutter cutter(bytes);
    SourceLine line;
    while (cutter.Next(line)) {
        if (lines.size() >= static_cast<std::size_t>(limit)) return false;
        lines.push_back(line); // a copy: `line` keeps its room for the next line
    }
    return true;
}

} // namespace kaso::compiler
