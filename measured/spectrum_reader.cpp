#include "measured/spectrum_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "measured/column_text.h"
#include "notation/cp1252.h"

namespace tervane {
namespace {

MeasuredReading Refused(std::size_t line, std::string reason) { return {std::nullopt, line, std::move(reason)}; }

// UTF-16 without its byte order mark: ASCII text whose every other byte is
// a NUL.
bool LooksLikeUtf16(std::string_view bytes) {
  const std::size_t pairs = std::min<std::size_t>(bytes.size() / 2, 64);
  std::size_t nulsAt[2] = {0, 0};
  for (std::size_t i = 0; i < 2 * pairs; ++i) nulsAt[i % 2] += bytes[i] == '\0';
  return pairs > 0 && ((nulsAt[0] == pairs && nulsAt[1] == 0) || (nulsAt[1] == pairs && nulsAt[0] == 0));
}

// Why the bytes are not text of lines at all; empty when they are.
std::string EncodingFault(std::string_view bytes) {
  if (bytes.empty()) return "it is empty";
  if (const WideEncoding wide = WideEncodingOf(bytes); wide != WideEncoding::kNone)
    return "it is " + std::string(NameOf(wide)) + " text: save it as UTF-8";
  if (bytes.find('\0') != std::string_view::npos)
    return LooksLikeUtf16(bytes) ? "it is UTF-16 text: save it as UTF-8" : "it holds NUL bytes: it is no text file";
  if (bytes.find('\r') != std::string_view::npos && bytes.find('\n') == std::string_view::npos)
    return std::string(kCrOnlyLineEnds);
  return {};
}

// The first character of a line that no text file holds, other than the tab
// and the line end's CR.
std::optional<unsigned char> ControlCharacterIn(std::string_view line) {
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t') || byte == 0x7F) return byte;
  }
  return std::nullopt;
}

bool IsCommentOrBlank(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first == std::string_view::npos || line[first] == '#' || line[first] == '*';
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::string Count(std::size_t n) { return std::to_string(n); }

// Which cells hold the frequency and the noise, from 0.
struct ColumnPlan {
  std::size_t cells = 0;  // on every data line
  std::size_t frequency = 0;
  std::size_t noise = 1;
};

// The cell of `choice` on data lines of `cells` cells; nothing, with the
// reason, when there is none.
std::optional<std::size_t> ColumnIndex(const ColumnChoice& choice, const std::vector<std::string>& header,
                                       std::size_t cells, std::string& reason) {
  const std::string data = "the data have " + Count(cells) + " columns";
  if (const std::size_t* number = std::get_if<std::size_t>(&choice)) {
    if (*number >= 1 && *number <= cells) return *number - 1;
    reason = "there is no column " + Count(*number) + ": " + data;
    return std::nullopt;
  }
  const std::string& name = std::get<std::string>(choice);
  const std::string quoted = QuotedCell(name);
  if (header.empty()) {
    reason = "there is no header line to find the column " + quoted + " in";
    return std::nullopt;
  }
  const auto named = std::find_if(header.begin(), header.end(), [&](const std::string& h) { return SameName(h, name); });
  if (named == header.end()) {
    reason = "no column of the header line is named " + quoted;
    return std::nullopt;
  }
  const auto index = static_cast<std::size_t>(named - header.begin());
  if (index < cells) return index;
  reason = "the column " + quoted + " is column " + Count(index + 1) + ", but " + data;
  return std::nullopt;
}

std::optional<ColumnPlan> PlanColumns(const ReadOptions& options, const std::vector<std::string>& header,
                                      std::size_t cells, std::string& reason) {
  if (cells == 1) {
    reason = "it has one column: a frequency and a noise column are needed";
    return std::nullopt;
  }
  if (!options.columns) {
    if (cells == 2) return ColumnPlan{2, 0, 1};
    reason = "it has " + Count(cells) + " columns: say which hold the frequency and the noise";
    return std::nullopt;
  }
  const std::optional<std::size_t> frequency = ColumnIndex(options.columns->first, header, cells, reason);
  if (!frequency) return std::nullopt;
  const std::optional<std::size_t> noise = ColumnIndex(options.columns->second, header, cells, reason);
  if (!noise) return std::nullopt;
  if (*frequency == *noise) {
    reason = "the frequency and the noise cannot be the same column";
    return std::nullopt;
  }
  return ColumnPlan{cells, *frequency, *noise};
}

// The reader's state from line to line.
class SpectrumReader {
 public:
  explicit SpectrumReader(const ReadOptions& options) : options_(options) {
    spectrum_.referred = options.referred;
  }

  // False when the line is refused: Refusal() says why.
  bool Take(std::string_view line, std::size_t number) {
    number_ = number;
    if (const std::optional<unsigned char> c = ControlCharacterIn(line)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", *c);
      return Refuse("it holds the control character " + std::string(hex) + ": it is no text file");
    }
    if (IsCommentOrBlank(line)) return true;
    if (!delimiter_) delimiter_ = ColumnDelimiterOf(line);
    SplitCells(line, *delimiter_, cells_);
    if (!plan_ && !headerSeen_ && std::none_of(cells_.begin(), cells_.end(), [](std::string_view c) {
          return CellNumber(c).has_value();
        })) {
      headerSeen_ = true;
      for (const std::string_view cell : cells_) header_.push_back(Unquoted(cell));
      return true;
    }
    return Data();
  }

  MeasuredReading Refusal() const { return Refused(number_, reason_); }

  MeasuredReading Finish() {
    if (!plan_)
      return Refused(0, headerSeen_ ? "it holds a header line but no data" : "it holds no data, only blank or comment lines");
    if (spectrum_.points.size() < 3)
      return Refused(0, "it holds " + Count(spectrum_.points.size()) + " points: at least 3 are needed");
    return {std::move(spectrum_), 0, {}};
  }

 private:
  bool Refuse(std::string reason) {
    reason_ = std::move(reason);
    return false;
  }

  bool Data() {
    if (!plan_) {
      plan_ = PlanColumns(options_, header_, cells_.size(), reason_);
      if (!plan_) return false;
      firstDataLine_ = number_;
    }
    if (cells_.size() != plan_->cells)
      return Refuse("it has " + Count(cells_.size()) + " columns where line " + Count(firstDataLine_) + " has " +
                    Count(plan_->cells));
    const std::optional<double> frequency = Number(plan_->frequency);
    if (!frequency) return false;
    const std::optional<double> noise = Number(plan_->noise);
    if (!noise) return false;
    const std::string_view frequencyCell = cells_[plan_->frequency];
    if (*frequency < 0) return Refuse("the frequency " + QuotedCell(frequencyCell) + " is below 0 Hz");
    if (previousLine_ != 0 && !(*frequency > previousFrequency_))
      return Refuse("the frequency " + QuotedCell(frequencyCell) + " is not above that of line " +
                    Count(previousLine_) + ", " + QuotedCell(previousCell_));
    previousLine_ = number_;
    previousFrequency_ = *frequency;
    previousCell_ = frequencyCell;
    if (*frequency == 0) {
      spectrum_.zeroHertzLeftOut = true;
      return true;
    }
    return Point(*frequency, *noise);
  }

  // The number of a cell, or nothing with the reason.
  std::optional<double> Number(std::size_t index) {
    const std::string_view cell = cells_[index];
    const std::optional<double> value = CellNumber(cell);
    if (value && std::isfinite(*value)) return value;
    const std::string column = "column " + Count(index + 1);
    if (cell.empty())
      Refuse(column + " is empty");
    else if (!value)
      Refuse(column + ", " + QuotedCell(cell) + ", is not a number");
    else
      Refuse(column + ", " + QuotedCell(cell) + ", is not a finite number");
    return std::nullopt;
  }

  bool Point(double frequency, double noise) {
    const double density = ToVoltsPerRootHz(noise, options_.unit);
    // Well inside a double's range, so that every power and every product
    // of one with a frequency or a weighting is a number.
    if (density >= 1e-100 && density <= 1e100) {
      spectrum_.points.push_back({frequency, density});
      return true;
    }
    const std::string noiseText = "the noise " + QuotedCell(cells_[plan_->noise]);
    if (noise < 0 && !IsDecibels(options_.unit.unit)) return Refuse(noiseText + " is negative");
    if (density == 0) return Refuse(noiseText + " is 0 V/rtHz, which no log axis holds");
    return Refuse(noiseText + " lies outside 1e-100 to 1e100 V/rtHz, where no noise does");
  }

  const ReadOptions& options_;
  MeasuredSpectrum spectrum_;
  std::size_t number_ = 0;
  std::string reason_;
  std::optional<char> delimiter_;
  bool headerSeen_ = false;
  std::vector<std::string> header_;
  std::optional<ColumnPlan> plan_;
  std::size_t firstDataLine_ = 0;
  std::vector<std::string_view> cells_;
  std::size_t previousLine_ = 0;
  double previousFrequency_ = 0;
  std::string_view previousCell_;
};

}  // namespace

ColumnChoice ColumnChoiceOf(std::string_view text) {
  const bool digits = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits || text.size() > 9) return std::string(text);
  std::size_t number = 0;
  for (const char c : text) number = number * 10 + static_cast<std::size_t>(c - '0');
  return number;
}

MeasuredReading ReadMeasuredText(std::string_view bytes, const ReadOptions& options) {
  if (std::string fault = NoiseUnitFault(options.unit); !fault.empty()) return Refused(0, std::move(fault));
  if (std::string fault = EncodingFault(bytes); !fault.empty()) return Refused(0, std::move(fault));
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  SpectrumReader reader(options);
  for (std::size_t number = 1; !bytes.empty(); ++number) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!reader.Take(line, number)) return reader.Refusal();
  }
  return reader.Finish();
}

}  // namespace tervane
