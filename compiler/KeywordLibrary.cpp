// The first generation's keyword tables, loaded from six library files at the start of every
// compile. Everything up to the first double quote of a file is its heading; after it the names
// are separated by commas, and only letters, digits, '+', '-', '/', '_' (and '!' in COMMAND.LIB)
// count, so a blank inside a name joins its parts. A file without a quote is split as it stands.
//
// A table holds one name fewer than its slots (the last slot was the end mark); a name beyond
// that stores the table's code in the first line's row and ends the compile. Files and names of
// any length are read whole.
#include "Compiler.h"

#include <fstream>
#include <iterator>

namespace kaso::compiler {

namespace {

struct LibraryFile {
    const char* fileName;
    KeywordTable KeywordTables::*table;
    std::size_t slots;
    int overflowCode;
    bool allowExclamation;
};

constexpr LibraryFile kLibraryFiles[] = {
    {"MODE.LIB", &KeywordTables::mode, 80, 35, false},
    {"DATA.LIB", &KeywordTables::data, 30, 36, false},
    {"STATAS.LIB", &KeywordTables::status, 80, 37, false},
    {"COMMAND.LIB", &KeywordTables::command, 60, 38, true},
    {"COMMANDB.LIB", &KeywordTables::commandBit, 60, 39, false},
    {"MAILBOXC.LIB", &KeywordTables::mailbox, 60, 40, false},
};

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool KeptInName(char c, bool allowExclamation) {
    return IsAsciiLetterOrDigit(c) || c == '+' || c == '-' || c == '/' || c == '_' ||
           (allowExclamation && c == '!');
}

// Without a heading quote nothing is filtered; line ends and other control characters still
// separate names, so a file written one name a line reads as those names.
bool SeparatesNames(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == ',' || c == ' ' || byte < 0x20 || byte == 0x7F;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& text) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

std::vector<std::string> SplitLibraryText(std::string_view fileText, bool allowExclamation) {
    std::string kept;
    kept.reserve(fileText.size());
    const std::size_t quote = fileText.find('"');
    if (quote == std::string_view::npos) {
        for (char c : fileText)
            kept.push_back(ToUpperAscii(c));
    } else {
        for (char c : fileText.substr(quote + 1)) {
            const char upper = ToUpperAscii(c);
            if (upper == ',' || KeptInName(upper, allowExclamation)) kept.push_back(upper);
        }
    }

    std::vector<std::string> names;
    std::string name;
    for (char c : kept) {
        if (SeparatesNames(c)) {
            if (!name.empty()) names.push_back(std::move(name));
            name.clear();
        } else {
            name.push_back(c);
        }
    }
    if (!name.empty()) names.push_back(std::move(name));
    return names;
}

LibraryLoad LoadKeywordLibraries(CompilerContext& ctx, const std::filesystem::path& folder) {
    for (const LibraryFile& file : kLibraryFiles) {
        std::string text;
        if (!ReadWholeFile(folder / file.fileName, text)) return LibraryLoad::FileMissing;
        std::vector<std::string> names = SplitLibraryText(text, file.allowExclamation);
        if (names.size() >= file.slots) {
            ctx.lineIndex = 0;
            StoreCode(ctx, 0, file.overflowCode);
            MarkError(ctx);
            return LibraryLoad::Overflow;
        }
        (ctx.keywords.*file.table).names = std::move(names);
    }
    return LibraryLoad::Loaded;
}

} // namespace kaso::compiler
