// The dictionary of the second-generation statement parser: words of one to five characters,
// packed six bits a character, each with a kind and a value code. One-character words sit in a
// table by their code; longer words in buckets by length and first character.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace kaso::compiler::gen2 {

inline constexpr int kMaxWordLength = 5;
inline constexpr int kBucketCount = 61; // first-character codes 0..60

struct DictionaryEntry {
    std::uint32_t packedWord = 0;
    std::uint16_t kind = 0;
    std::uint16_t value = 0;
};

// One word as the dictionary's source lists it.
struct WordDefinition {
    std::string_view text; // upper case, as the parser reads it
    std::uint16_t kind;    // not 0
    std::uint16_t value;
};

// The 6-bit packing of a word of one to five characters (first character highest).
std::uint32_t PackWord(std::string_view text);

class Gen2Dictionary {
public:
    // Throws std::invalid_argument for a word the parser could never read (empty, longer than
    // five characters, a character outside the 6-bit codes, kind 0) or one listed twice.
    explicit Gen2Dictionary(std::span<const WordDefinition> words);

    // The dictionary the compiler ships.
    static const Gen2Dictionary& Shipped();

    // The entry of a packed word of `length` characters. A word whose first character has no
    // bucket (a code above 60, such as '_') is not found.
    std::optional<DictionaryEntry> LookUp(std::uint32_t packedWord, int length) const;

    // The four-letter word that stands for register 96 (the variable word whose value code is
    // the register-96 code), if the dictionary has one.
    std::optional<DictionaryEntry> RegisterWord96() const { return register96_; }

private:
    std::array<DictionaryEntry, 64> oneCharacter_{};
    std::array<std::array<std::vector<DictionaryEntry>, kBucketCount>, kMaxWordLength - 1>
        buckets_{};
    std::optional<DictionaryEntry> register96_;
};

// The shipped words, for tests and documentation.
std::span<const WordDefinition> ShippedWords();

} // namespace kaso::compiler::gen2
