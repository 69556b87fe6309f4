#include "form/circuit_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <vector>

#include "form/amplifier_names.h"
#include "form/built_circuit.h"
#include "measured/density_unit.h"
#include "noise/chain_calculation.h"
#include "notation/cp1252.h"

namespace tervane {
namespace {

constexpr std::string_view kHeader = "[tervane-circuit]";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kVersionKey = "version";
constexpr std::string_view kTypeKey = "type";
constexpr std::string_view kCornerKey = "apply_corner";
constexpr std::string_view kPartKey = "part";
constexpr std::string_view kStagesKey = "stages";
constexpr std::string_view kStageHeader = "[stage]";
// The first version that holds a chain of stages, a [stage] section each.
constexpr int kChainVersion = 3;
// The first whose header says how many stages it holds, so that a chain cut
// after a stage is no shorter chain.
constexpr int kStageCountVersion = 4;
// The first that holds the transimpedance amplifier's fields.
constexpr int kTransimpedanceVersion = 5;
// The first that keeps a measured spectrum with the circuit.
constexpr int kMeasurementVersion = 6;

constexpr std::string_view kMeasuredFileKey = "measured_file";
constexpr std::string_view kMeasuredUnitKey = "measured_unit";
constexpr std::string_view kMeasuredRbwKey = "measured_rbw";
constexpr std::string_view kMeasuredEnbwKey = "measured_enbw";
constexpr std::string_view kMeasuredFrequencyColumnKey = "measured_frequency_column";
constexpr std::string_view kMeasuredNoiseColumnKey = "measured_noise_column";
constexpr std::string_view kMeasuredReferredKey = "measured_referred";
constexpr std::array kMeasurementKeys{kMeasuredFileKey,           kMeasuredUnitKey,        kMeasuredRbwKey,
                                      kMeasuredEnbwKey,           kMeasuredFrequencyColumnKey,
                                      kMeasuredNoiseColumnKey,    kMeasuredReferredKey};
constexpr std::array<std::pair<Referred, std::string_view>, 2> kReferredKeys{
    {{Referred::kOutput, "output"}, {Referred::kInput, "input"}}};

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string Hex(unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return {kHex[byte >> 4], kHex[byte & 0xF]};
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\')
      out += "\\\\";
    else if (IsControl(byte))
      out += "\\x" + Hex(byte);
    else
      out += c;
  }
  return out;
}

// A value with its escapes undone, or why it cannot be: a backslash that
// is neither \\ nor \xHH, or a \x00, which would end the text where the
// calculation reads it, in silence.
struct Unescaped {
  std::string text;
  std::string_view problem;
};

Unescaped Unescape(std::string_view text) {
  Unescaped out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.text += text[i];
    } else if (text.substr(i + 1, 1) == "\\") {
      out.text += '\\';
      ++i;
    } else if (text.substr(i + 1, 1) == "x" && i + 3 < text.size()) {
      unsigned byte = 0;
      const char* first = text.data() + i + 2;
      const auto [end, ec] = std::from_chars(first, first + 2, byte, 16);
      if (ec != std::errc() || end != first + 2) return {{}, "a backslash that is neither \\\\ nor \\xHH"};
      if (byte == 0) return {{}, "\\x00, a NUL, which would end the value there"};
      out.text += static_cast<char>(byte);
      i += 3;
    } else {
      return {{}, "a backslash that is neither \\\\ nor \\xHH"};
    }
  }
  return out;
}

// A text from the file, shown in a reason: valid UTF-8, and short.
std::string Shown(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown = Cp1252ToUtf8(Utf8ToCp1252(text.substr(0, kShown)));
  if (text.size() > kShown) shown += "...";
  return shown;
}

// Appended piece by piece: "'" + a temporary trips g++ 12's -Wrestrict (a
// false alarm) in optimised builds.
std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted += Shown(text);
  quoted += '\'';
  return quoted;
}

// Only the ends of lines and tabs among the control characters: anything
// else is not a text a person or this program wrote.
bool IsText(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' && bytes.substr(i + 1, 1) == "\n") continue;
    if (IsControl(c) && c != '\n' && c != '\t') return false;
  }
  return true;
}

// The first byte that is not UTF-8, by its line: read as Windows-1252 it
// would be a character the file does not hold (0xB5, micro in
// Windows-1252, would vanish from "2.2\xB5" and leave 2.2).
std::string Utf8Problem(std::string_view text) {
  std::size_t lineStart = 0;
  int number = 1;
  for (std::size_t i = 0; i < text.size();) {
    const Utf8Char c = DecodeUtf8Char(text.substr(i));
    if (!c.c) {
      const std::string_view before = text.substr(lineStart, i - lineStart);
      return "line " + std::to_string(number) + ": the byte 0x" + Hex(static_cast<unsigned char>(text[i])) +
             (before.empty() ? std::string(" at its start") : " after " + Quoted(before)) + " is not UTF-8 text";
    }
    if (*c.c == '\n') lineStart = i + 1, ++number;
    i += c.length;
  }
  return {};
}

// Text whose every line ends in a CR alone, as old Macintosh editors wrote
// it: it has no line feed to end a line.
bool HasOnlyCrLineEnds(std::string_view bytes) {
  return bytes.find('\n') == std::string_view::npos && bytes.find('\r') != std::string_view::npos;
}

using Entries = std::map<std::string, std::string, std::less<>>;  // key, value unescaped

struct Parsed {
  Entries top;                  // before the first [stage]: the version, and a circuit of one stage
  std::vector<Entries> stages;  // each [stage] section's
  std::string reason;
};

// The key=value lines after the header, each [stage] line starting a
// section of its own; blank lines and '#' comments skipped.
Parsed ParseLines(std::string_view text) {
  Parsed parsed;
  Entries* entries = &parsed.top;
  int number = 0;
  bool header = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::string at = "line " + std::to_string(number) + ": ";
    if (!header) {
      if (line != kHeader)
        return {{}, {}, "it is not a Tervane circuit file (its first line is not [tervane-circuit])"};
      header = true;
      continue;
    }
    if (line.empty() || line.starts_with('#')) continue;
    if (line == kStageHeader) {
      entries = &parsed.stages.emplace_back();
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {{}, {}, "it is damaged: " + at + "no '=' in " + Quoted(line)};
    const std::string_view key = line.substr(0, equals);
    Unescaped value = Unescape(line.substr(equals + 1));
    if (!value.problem.empty()) return {{}, {}, "it is damaged: " + at + std::string(value.problem)};
    if (!entries->emplace(key, std::move(value.text)).second)
      return {{}, {}, "it is damaged: " + at + Quoted(key) + " is given twice"};
  }
  return parsed;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

std::string VersionProblem(const Entries& entries) {
  const auto found = entries.find(kVersionKey);
  if (found == entries.end()) return "it is truncated or damaged: it has no version line";
  const std::string& text = found->second;
  int version = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), version);
  // A version too large for an int is a newer one all the same.
  const bool huge = ec == std::errc::result_out_of_range && IsDigits(text);
  if (!huge && (ec != std::errc() || end != text.data() + text.size() || version < 1))
    return "it is damaged: the version " + Quoted(text) + " is not a number from 1";
  if (huge || version > kCircuitFileVersion)
    return "it was written by a newer Tervane (circuit file version " + Shown(text) + "; this one reads version " +
           std::to_string(kCircuitFileVersion) + ")";
  return {};
}

// The first version that holds the circuit as it is built.
constexpr int kBuiltCircuitVersion = 2;

// The version of a file whose version line VersionProblem accepted.
int VersionOf(const Entries& entries) {
  const std::string& text = entries.find(kVersionKey)->second;
  int version = 1;
  std::from_chars(text.data(), text.data() + text.size(), version);
  return version;
}

// The fields of a stage in a file of `version`, in the order they are
// written: a chain's stage holds every one.
std::vector<const FormTextField*> FieldsOf(int version) {
  std::vector<const FormTextField*> fields;
  for (const FormTextField& field : kFormTextFields) fields.push_back(&field);
  if (version >= kBuiltCircuitVersion)
    for (std::size_t i = 0; i < kBuiltCircuitFields.size(); ++i)
      if (i < kFirstTransimpedanceField || version >= kTransimpedanceVersion) fields.push_back(&kBuiltCircuitFields[i]);
  return fields;
}

// Whether a stage needs the version that holds the transimpedance
// amplifier: the stage is one, or gives any of its fields. A release
// before it then says that the file is newer.
bool NeedsTransimpedanceVersion(const CalculatorForm& form) {
  return form.m_nAmpType == AMP_TRANSIMPEDANCE ||
         std::ranges::any_of(std::span(kBuiltCircuitFields).subspan(kFirstTransimpedanceField),
                             [&form](const FormTextField& field) { return !(form.*field.member).empty(); });
}

bool IsKnownKey(std::string_view key, const std::vector<const FormTextField*>& fields) {
  if (key == kTypeKey || key == kCornerKey || key == kPartKey) return true;
  return std::ranges::any_of(fields, [key](const FormTextField* field) { return field->key == key; });
}

// "buffer, noninverting or inverting"
std::string AmplifierKeyList() {
  std::string list;
  for (std::size_t i = 0; i < kAmplifierNames.size(); ++i)
    list.append(i == 0 ? "" : i + 1 == kAmplifierNames.size() ? " or " : ", ").append(kAmplifierNames[i].key);
  return list;
}

// Everything of a stage of `version` is there and known, and the type and
// check box read; the texts read as anything. A file before the chains
// holds its version among its stage's lines.
std::string ContentProblem(const Entries& entries, int version) {
  const std::vector<const FormTextField*> fields = FieldsOf(version);
  for (const auto& [key, value] : entries)
    if (!IsKnownKey(key, fields) && !(version < kChainVersion && key == kVersionKey))
      return "it is damaged: unknown key " + Quoted(key);
  std::vector<std::string_view> required{kTypeKey};  // in the order they are written
  for (const FormTextField* field : fields) required.push_back(field->key);
  required.push_back(kCornerKey);
  for (const std::string_view key : required)
    if (!entries.contains(key)) return "it is truncated or damaged: the line " + std::string(key) + "= is missing";
  const std::string& type = entries.find(kTypeKey)->second;
  if (!AmplifierOfKey(type))
    return "unknown amplifier type " + Quoted(type) + " (" + AmplifierKeyList() + ")";
  const std::string& corner = entries.find(kCornerKey)->second;
  if (corner != "0" && corner != "1") return "it is damaged: apply_corner is " + Quoted(corner) + ", not 0 or 1";
  return {};
}

// A chain file's count of stages in its header, where its version has one,
// against the sections it holds.
std::string StageCountProblem(const Parsed& parsed, int version) {
  if (version < kStageCountVersion) return {};
  const auto found = parsed.top.find(kStagesKey);
  if (found == parsed.top.end()) return "it is truncated or damaged: the line stages= is missing";
  const std::string& text = found->second;
  std::size_t count = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (ec != std::errc() || end != text.data() + text.size() || !IsDigits(text))
    return "it is damaged: stages is " + Quoted(text) + ", not a number of stages";
  if (count != parsed.stages.size())
    return "it is truncated or damaged: its header says " + Shown(text) + " stages, and it holds " +
           std::to_string(parsed.stages.size());
  return {};
}

// A file before the chains holds one stage above any section and no
// section; a chain file its version (and the count of its stages) alone
// above its stages' sections.
std::string StagesProblem(const Parsed& parsed, int version) {
  if (version < kChainVersion) {
    if (!parsed.stages.empty())
      return "it is damaged: a circuit file of version " + std::to_string(version) + " has no [stage] section";
    return ContentProblem(parsed.top, version);
  }
  for (const auto& [key, value] : parsed.top)
    if (key != kVersionKey && !(key == kStagesKey && version >= kStageCountVersion) &&
        !(version >= kMeasurementVersion && std::ranges::find(kMeasurementKeys, key) != kMeasurementKeys.end()))
      return "it is damaged: " + Quoted(key) + " stands before the first [stage]";
  if (std::string problem = StageCountProblem(parsed, version); !problem.empty()) return problem;
  if (parsed.stages.empty()) return "it is truncated or damaged: it has no [stage] section";
  if (parsed.stages.size() > kMaxChainStages)
    return "it holds " + std::to_string(parsed.stages.size()) + " stages; a chain holds at most " +
           std::to_string(kMaxChainStages);
  for (std::size_t k = 0; k < parsed.stages.size(); ++k)
    if (std::string problem = ContentProblem(parsed.stages[k], version); !problem.empty())
      return "stage " + std::to_string(k + 1) + ": " + problem;
  return {};
}

// `onto` with a sound stage's type, texts and check box, and its part.
ChainStageForm StageOf(const Entries& entries, int version, const CalculatorForm& onto) {
  ChainStageForm stage{onto, std::nullopt};
  CalculatorForm& form = stage.form;
  form.m_nAmpType = *AmplifierOfKey(entries.find(kTypeKey)->second);
  // A file without the circuit as built describes the textbook stage.
  for (const FormTextField& field : kBuiltCircuitFields) (form.*field.member).clear();
  for (const FormTextField* field : FieldsOf(version))
    form.*field->member = Utf8ToCp1252(entries.find(field->key)->second);
  form.m_bApplyCorner = entries.find(kCornerKey)->second == "1" ? 1 : 0;
  if (const auto part = entries.find(kPartKey); part != entries.end() && !part->second.empty())
    stage.partName = Utf8ToCp1252(part->second);
  return stage;
}

// A stage's lines, those of `version`: its type, texts, check box and part.
void AppendStage(std::string& text, int version, const CalculatorForm& form,
                 const std::optional<std::string>& partName) {
  // A NUL ends a text where the calculation reads it, and no file holds
  // one: what follows it is not kept.
  const auto line = [&text](std::string_view key, std::string_view cp1252) {
    text += std::string(key) + "=" + Escaped(Cp1252ToUtf8(cp1252.substr(0, cp1252.find('\0')))) + "\n";
  };
  line(kTypeKey, NamesOfAmplifier(form.m_nAmpType).value().key);
  for (const FormTextField* field : FieldsOf(version)) line(field->key, form.*field->member);
  line(kCornerKey, form.m_bApplyCorner ? "1" : "0");
  if (partName) line(kPartKey, *partName);
}

// Half a resistor's excess noise, which the calculation would drop: the
// first stage that holds one, named in a chain's file.
std::string HalfExcessNoiseProblem(std::span<const ChainStageForm> stages, int version) {
  for (std::size_t k = 0; k < stages.size(); ++k)
    if (const std::optional<HalfExcessNoise> half = FindHalfExcessNoise(stages[k].form))
      return (version < kChainVersion ? "" : "stage " + std::to_string(k + 1) + ": ") + HalfExcessNoiseReason(*half);
  return {};
}

// A number as it reads back exactly.
std::string NumberText(double value) {
  std::array<char, 32> buffer{};
  const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), ec == std::errc() ? end : buffer.data());
}

std::string ColumnText(const ColumnChoice& column) {
  if (const std::size_t* number = std::get_if<std::size_t>(&column)) return std::to_string(*number);
  return std::get<std::string>(column);
}

std::string_view UnitKey(DensityUnit unit) {
  return std::ranges::find(kDensityUnits, unit, &DensityUnitName::unit)->key;
}

// The measurement's lines, in the header: the escapes as every value's.
std::string MeasurementLines(const MeasurementReference& measurement) {
  std::string text;
  const auto line = [&text](std::string_view key, std::string_view value) {
    text.append(key).append("=").append(Escaped(value.substr(0, value.find('\0')))).append("\n");
  };
  const ReadOptions& options = measurement.options;
  line(kMeasuredFileKey, measurement.file);
  line(kMeasuredUnitKey, UnitKey(options.unit.unit));
  if (IsPerBin(options.unit.unit)) {
    line(kMeasuredRbwKey, NumberText(options.unit.binWidth));
    line(kMeasuredEnbwKey, NumberText(options.unit.enbwBins));
  }
  if (options.columns) {
    line(kMeasuredFrequencyColumnKey, ColumnText(options.columns->first));
    line(kMeasuredNoiseColumnKey, ColumnText(options.columns->second));
  }
  line(kMeasuredReferredKey, std::ranges::find(kReferredKeys, options.referred, &decltype(kReferredKeys)::value_type::first)->second);
  return text;
}

// A number that reads whole, or nothing.
std::optional<double> NumberOf(const std::string& text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

struct MeasurementEntries {
  std::optional<MeasurementReference> measurement;
  std::string problem;
};

// The measurement the header keeps, if any: its file named, its unit known,
// a unit per bin with its bin width and ENBW, both columns or neither.
MeasurementEntries MeasurementOf(const Entries& top) {
  const auto value = [&top](std::string_view key) -> const std::string* {
    const auto found = top.find(key);
    return found == top.end() ? nullptr : &found->second;
  };
  const auto damaged = [](std::string what) { return MeasurementEntries{std::nullopt, "it is damaged: " + what}; };
  if (std::ranges::none_of(kMeasurementKeys, [&](std::string_view key) { return value(key) != nullptr; })) return {};
  MeasurementReference measurement;
  for (const std::string_view key : {kMeasuredFileKey, kMeasuredUnitKey, kMeasuredReferredKey})
    if (!value(key)) return damaged("the line " + std::string(key) + "= is missing");
  measurement.file = *value(kMeasuredFileKey);
  if (measurement.file.empty()) return damaged("measured_file is empty");
  const std::optional<DensityUnit> unit = DensityUnitOfKey(*value(kMeasuredUnitKey));
  if (!unit) return damaged("measured_unit is " + Quoted(*value(kMeasuredUnitKey)) + ", no unit this one reads");
  NoiseUnit& noiseUnit = measurement.options.unit;
  noiseUnit.unit = *unit;
  if (IsPerBin(*unit)) {
    const std::string* rbw = value(kMeasuredRbwKey);
    const std::string* enbw = value(kMeasuredEnbwKey);
    noiseUnit.binWidth = rbw ? NumberOf(*rbw).value_or(0) : 0;
    noiseUnit.enbwBins = enbw ? NumberOf(*enbw).value_or(0) : 0;
    if (std::string fault = NoiseUnitFault(noiseUnit); !fault.empty()) return damaged("measured_unit: " + fault);
  }
  const std::string* frequencyColumn = value(kMeasuredFrequencyColumnKey);
  const std::string* noiseColumn = value(kMeasuredNoiseColumnKey);
  if (!frequencyColumn != !noiseColumn) return damaged("a measurement's columns are chosen by both lines or neither");
  if (frequencyColumn)
    measurement.options.columns = std::pair{ColumnChoiceOf(*frequencyColumn), ColumnChoiceOf(*noiseColumn)};
  const std::string& referred = *value(kMeasuredReferredKey);
  const auto found = std::ranges::find(kReferredKeys, referred, &decltype(kReferredKeys)::value_type::second);
  if (found == kReferredKeys.end()) return damaged("measured_referred is " + Quoted(referred) + ", not output or input");
  measurement.options.referred = found->first;
  return {std::move(measurement), {}};
}

std::string HeaderLines(int version) {
  return std::string(kHeader) + "\n" + std::string(kVersionKey) + "=" + std::to_string(version) + "\n";
}

// The file of a chain of `stages` in `version`, from version 4 on.
std::string ChainText(std::span<const ChainStageForm> stages, int version,
                      const std::optional<MeasurementReference>& measurement = std::nullopt) {
  std::string text = HeaderLines(version);
  text.append(kStagesKey).append("=").append(std::to_string(stages.size())).append("\n");
  if (measurement) text += MeasurementLines(*measurement);
  for (const ChainStageForm& stage : stages) {
    text.append("\n").append(kStageHeader).append("\n");
    AppendStage(text, version, stage.form, stage.partName);
  }
  return text;
}

}  // namespace

std::string WriteCircuitFile(const CalculatorForm& form, const std::optional<std::string>& partName,
                             const std::optional<MeasurementReference>& measurement) {
  if (measurement || NeedsTransimpedanceVersion(form)) {
    const ChainStageForm stage[] = {{form, partName}};
    return ChainText(stage, measurement ? kMeasurementVersion : kTransimpedanceVersion, measurement);
  }
  const bool built = std::ranges::any_of(kBuiltCircuitFields,
                                         [&form](const FormTextField& field) { return !(form.*field.member).empty(); });
  const int version = built ? kBuiltCircuitVersion : 1;
  std::string text = HeaderLines(version);
  AppendStage(text, version, form, partName);
  return text;
}

std::string WriteChainFile(std::span<const ChainStageForm> stages) {
  if (stages.size() == 1) return WriteCircuitFile(stages.front().form, stages.front().partName);
  const bool transimpedance =
      std::ranges::any_of(stages, [](const ChainStageForm& stage) { return NeedsTransimpedanceVersion(stage.form); });
  return ChainText(stages, transimpedance ? kTransimpedanceVersion : kStageCountVersion);
}

ChainReading ReadChainFile(std::string_view bytes, const CalculatorForm& onto) {
  const auto refused = [](std::string reason) { return ChainReading{std::nullopt, std::nullopt, std::move(reason)}; };
  if (bytes.empty()) return refused("the file is empty");
  if (bytes.size() > kMaxCircuitFileSize)
    return refused("it is larger than " + std::to_string(kMaxCircuitFileSize / 1024) +
                   " KiB, far more than a circuit takes");
  if (const WideEncoding wide = WideEncodingOf(bytes); wide != WideEncoding::kNone)
    return refused("it is " + std::string(NameOf(wide)) + " text: a circuit file is UTF-8");
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (HasOnlyCrLineEnds(bytes)) return refused(std::string(kCrOnlyLineEnds));
  if (!IsText(bytes)) return refused("it holds binary data, not text");
  if (std::string problem = Utf8Problem(bytes); !problem.empty()) return refused(std::move(problem));
  if (!bytes.ends_with('\n')) return refused("it is truncated (its last line has no line end)");

  const Parsed parsed = ParseLines(bytes);
  std::string reason = parsed.reason;
  if (reason.empty()) reason = VersionProblem(parsed.top);
  const int version = reason.empty() ? VersionOf(parsed.top) : 0;
  if (reason.empty()) reason = StagesProblem(parsed, version);
  MeasurementEntries measurement;
  if (reason.empty()) measurement = MeasurementOf(parsed.top);
  if (reason.empty()) reason = measurement.problem;
  if (!reason.empty()) return refused(reason);

  std::vector<ChainStageForm> stages;
  if (version < kChainVersion) stages.push_back(StageOf(parsed.top, version, onto));
  for (const Entries& entries : parsed.stages) stages.push_back(StageOf(entries, version, onto));
  if (std::string problem = HalfExcessNoiseProblem(stages, version); !problem.empty()) return refused(problem);
  return {std::move(stages), std::move(measurement.measurement), {}};
}

CircuitReading ReadCircuitFile(std::string_view bytes, const CalculatorForm& onto) {
  ChainReading chain = ReadChainFile(bytes, onto);
  CircuitReading reading;
  if (!chain.stages)
    reading.reason = std::move(chain.reason);
  else if (chain.stages->size() > 1)
    reading.reason = "it holds a chain of " + std::to_string(chain.stages->size()) + " stages: open it as a chain";
  else
    reading.form = std::move(chain.stages->front().form), reading.partName = std::move(chain.stages->front().partName),
    reading.measurement = std::move(chain.measurement);
  return reading;
}

std::filesystem::path MeasurementPathOf(const std::filesystem::path& circuitFile, const MeasurementReference& measurement) {
  const std::filesystem::path named(std::u8string(measurement.file.begin(), measurement.file.end()));
  return named.is_relative() ? circuitFile.parent_path() / named : named;
}

}  // namespace tervane
