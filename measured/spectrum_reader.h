#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "measured/density_unit.h"
#include "measured/measured_spectrum.h"

namespace tervane {

// A column by its number, from 1, or by its name in the header line.
using ColumnChoice = std::variant<std::size_t, std::string>;

// A number ("2") or else a name ("Noise"), as typed.
ColumnChoice ColumnChoiceOf(std::string_view text);

struct ReadOptions {
  NoiseUnit unit;
  // The frequency's column and the noise's; a file of two columns needs
  // none (the first is the frequency).
  std::optional<std::pair<ColumnChoice, ColumnChoice>> columns;
  Referred referred = Referred::kOutput;
};

struct MeasuredReading {
  std::optional<MeasuredSpectrum> spectrum;  // when the file is sound
  std::size_t line = 0;                      // the line the reason is about, from 1; 0 for the whole file
  std::string reason;                        // why it cannot be read, in Windows-1252, otherwise
};

// A measured spectrum's text: UTF-8 (a BOM is skipped), lines ended by LF or
// CR LF, columns as ColumnDelimiterOf finds them, blank lines and lines
// that begin with '#' or '*' skipped, at most one header line (no cell of it
// a number) before the data, every data line as many cells as the first,
// the noise in `options.unit`. Refused with the reason: empty or no data, a
// text in UTF-16 or UTF-32, binary (a NUL or another control character),
// CR-only line ends, one column, more than two without a choice, a column
// chosen that is not there, a cell that is empty or not a number, a number
// not finite, a frequency not above the one before or below 0, a negative
// noise, one of 0 (which no log axis holds) or one outside 1e-100 to 1e100
// V/rtHz, fewer than 3 points. A first
// line at 0 Hz, an FFT's DC bin, is left out (MeasuredSpectrum::zeroHertzLeftOut).
MeasuredReading ReadMeasuredText(std::string_view bytes, const ReadOptions& options);

// Files larger than this are refused unread: a million lines of two
// numbers in full precision take under 50 MiB.
inline constexpr std::size_t kMaxMeasuredFileBytes = std::size_t{256} << 20;

// The file at `path`, read as ReadMeasuredText reads text. Refused unread
// when it is no regular file (a directory, a pipe, a device: opened without
// waiting, and looked at once open) or larger than kMaxMeasuredFileBytes;
// a file that cannot be read gives the system's reason.
MeasuredReading ReadMeasuredFile(const std::filesystem::path& path, const ReadOptions& options);

}  // namespace tervane
