#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "noise/amplifier_type.h"

namespace tervane {

// A topology's names: the word that picks it on the command line and in
// circuit files, and its name for people.
struct AmplifierNames {
  AmplifierType type;
  std::string_view key;
  std::string_view label;
};

// In the order of the radio buttons, which is AmplifierType's.
inline constexpr std::array<AmplifierNames, 4> kAmplifierNames{{
    {AMP_BUFFER, "buffer", "Buffer"},
    {AMP_NONINVERTING, "noninverting", "Non-inverting"},
    {AMP_INVERTING, "inverting", "Inverting"},
    {AMP_TRANSIMPEDANCE, "transimpedance", "Transimpedance"},
}};

// The names of the form's amplifier type; nothing when no type is chosen.
constexpr std::optional<AmplifierNames> NamesOfAmplifier(int ampType) {
  for (const AmplifierNames& names : kAmplifierNames)
    if (names.type == ampType) return names;
  return std::nullopt;
}

// The type a key picks; nothing for a word that is no key.
constexpr std::optional<AmplifierType> AmplifierOfKey(std::string_view key) {
  for (const AmplifierNames& names : kAmplifierNames)
    if (names.key == key) return names.type;
  return std::nullopt;
}

}  // namespace tervane
