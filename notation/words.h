#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace tervane {

// Splits off the first words of a text as "%s" reads them: white space (the
// C locale's) is skipped, a word runs to the next white space, and a NUL ends
// the text. Fills at most words.size() entries and returns how many it found.
std::size_t ScanWords(std::string_view text, std::span<std::string_view> words);

// Whether a word that reaches `c` would run on through it: false for white
// space and a NUL.
bool ContinuesWord(char c);

}  // namespace tervane
