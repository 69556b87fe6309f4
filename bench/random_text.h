#pragma once

#include <QString>
#include <random>

namespace tervane::uitest {

// Text a user, an input method or the clipboard could hand the program, from
// every corner of Unicode that trips up text handling: numbers as the
// calculator reads them, ASCII, Latin-1 and Windows-1252 punctuation, both
// mus, Greek, CJK, emoji (surrogate pairs), control characters, lone and
// swapped surrogates, right-to-left scripts and their marks, combining
// marks. Mostly short, sometimes a few thousand characters, rarely 100 000.
QString RandomText(std::mt19937& rng);

// The same, at most `most` characters long.
QString RandomText(std::mt19937& rng, int most);

// True `percent` times in a hundred.
bool Chance(std::mt19937& rng, int percent);

// A whole number from `low` to `high`, both included.
int Between(std::mt19937& rng, int low, int high);

}  // namespace tervane::uitest
