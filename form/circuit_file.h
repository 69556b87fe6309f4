#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "form/calculator_form.h"
#include "form/chain_form.h"
#include "form/measured_overlay.h"

namespace tervane {

// A circuit kept in a `.tervane` file: the amplifier type, the eleven field
// texts exactly as typed, those of the circuit as it is built, the corner
// check box and the chosen part's name. The file is UTF-8 text, `key=value`
// lines under a `[tervane-circuit]` header, the version first (README,
// "Circuit files"):
//
//   [tervane-circuit]
//   version=2
//   type=noninverting
//   source_resistor=600
//   ...                      (every key of kFormTextFields)
//   source_inductance=500m
//   ...                      (every key of kBuiltCircuitFields)
//   apply_corner=1
//   part=OP27                (left out when no part is chosen)
//
// Version 1 has no key of kBuiltCircuitFields. A textbook stage, none of
// those fields given, is written as version 1, so that the release before
// them still opens it; a version 1 file opens with none of them.
//
// A chain of stages is version 4: the version and the number of stages,
// then a `[stage]` section for each stage in the chain's order, each with
// the lines a file of version 2 holds after its version. Version 3 is the
// same without the number of stages. Version 5 is version 4 with the
// transimpedance amplifier's fields (from kFirstTransimpedanceField) in
// every stage, written where a stage is that amplifier or gives any of
// them, a single stage as a chain of one.
//
//   [tervane-circuit]
//   version=4
//   stages=2
//
//   [stage]
//   type=noninverting
//   ...
//   [stage]
//   ...
//
// Version 6 is version 5 with a measured spectrum kept with the circuit, in
// the header above the first [stage]: the file it is read from and how
// (measured_file, measured_unit, measured_rbw and measured_enbw for a unit
// per bin, measured_frequency_column and measured_noise_column where they
// are chosen, measured_referred), written only where there is one, so that a
// release before it says that such a file is newer.
//
// In a value a backslash is written `\\` and a control character `\xHH`, so
// any text fits on its line; a NUL ends a text where the calculation reads
// it, so a text is written up to its NUL, and `\x00` is no escape.

// Larger files are refused unread: a circuit takes well under 1 KiB.
inline constexpr std::size_t kMaxCircuitFileSize = 64 * 1024;
inline constexpr int kCircuitFileVersion = 6;  // the newest this one reads

// The file's text for the form's type, texts and check box, and the part
// (all Windows-1252), in UTF-8: version 1 unless a field of the circuit as
// built holds text, version 6 with a measurement.
std::string WriteCircuitFile(const CalculatorForm& form, const std::optional<std::string>& partName,
                             const std::optional<MeasurementReference>& measurement = std::nullopt);

struct CircuitReading {
  // `onto` with the file's type, texts and check box, when the file is sound.
  std::optional<CalculatorForm> form;
  std::optional<std::string> partName;  // Windows-1252, when the file names one
  // The measured spectrum kept with it, when it keeps one: only named, the
  // file not looked at, so that one gone since is said where it is read.
  std::optional<MeasurementReference> measurement;
  std::string reason;  // why the file cannot be read, otherwise
};

// Where a circuit file's measurement lies: as named, or, a relative name,
// in the circuit file's folder.
std::filesystem::path MeasurementPathOf(const std::filesystem::path& circuitFile, const MeasurementReference& measurement);

// A chain's file: a chain of one stage as WriteCircuitFile writes its
// stage, so that a release before the chains still opens it.
std::string WriteChainFile(std::span<const ChainStageForm> stages);

struct ChainReading {
  // Each stage's form (`onto` with the section's type, texts and check box)
  // and part, when the file is sound: one stage for a file of version 1.
  std::optional<std::vector<ChainStageForm>> stages;
  std::optional<MeasurementReference> measurement;  // as CircuitReading's
  std::string reason;  // why the file cannot be read, otherwise
};

// Reads a chain's file, or a file of one stage as a chain of one. The
// refusals are ReadCircuitFile's, and in a chain's file a section that is
// missing, a key above the first one, a number of stages in the header
// (version 4) that is not the number of sections, more than kMaxChainStages
// stages, a stage's own problem, named with its number, or a measurement's
// key that does not read (an unknown unit, a bin width that is no positive
// number, half a choice of columns).
ChainReading ReadChainFile(std::string_view bytes, const CalculatorForm& onto);

// Reads a circuit file's bytes over `onto`; the other members of the form
// (the carry state) keep their values. Text Windows-1252 cannot hold reads
// as '?', as it does when typed into the form. A file that is empty,
// oversized, UTF-16 or UTF-32, of CR-only lines, binary, not UTF-8 (by the
// line), truncated (its last line unended or a key missing), damaged, of a
// newer version or of an unknown type, or with half a resistor's excess noise
// (its noise index without its DC voltage, or the reverse, which the
// calculation would drop), gives the reason, in UTF-8, and no form; so does a
// chain of more than one stage.
CircuitReading ReadCircuitFile(std::string_view bytes, const CalculatorForm& onto);

}  // namespace tervane
