// The circuit file reader on any bytes, a chain's file or one stage's. A
// file that reads must write back as a file that reads to the same stages:
// what the reader accepts, the writer can keep. A file that does not read
// must say why. A circuit file is a chain of one stage; the measurement it
// keeps is written back as it was read.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "form/circuit_file.h"
#include "fuzz/fuzz_check.h"

using tervane::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tervane::CalculatorForm onto;
  tervane::ApplyFormDefaults(onto);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tervane::ChainReading reading = tervane::ReadChainFile(bytes, onto);
  const tervane::CircuitReading circuit = tervane::ReadCircuitFile(bytes, onto);
  Check(circuit.form.has_value() == (reading.stages && reading.stages->size() == 1),
        "a circuit file reads where it is a chain of one stage");
  if (!reading.stages) {
    Check(!reading.reason.empty() && !circuit.reason.empty(), "a file refused gives its reason");
    return 0;
  }
  if (circuit.form && circuit.measurement) {
    const tervane::CircuitReading kept = tervane::ReadCircuitFile(
        tervane::WriteCircuitFile(*circuit.form, circuit.partName, circuit.measurement), onto);
    const tervane::ReadOptions& was = circuit.measurement->options;
    Check(kept.measurement && kept.measurement->file == circuit.measurement->file &&
              kept.measurement->options.unit.unit == was.unit.unit && kept.measurement->options.columns == was.columns &&
              kept.measurement->options.referred == was.referred,
          "a measurement kept with the circuit reads back as it was");
  }
  const tervane::ChainReading again = tervane::ReadChainFile(tervane::WriteChainFile(*reading.stages), onto);
  Check(again.stages && again.stages->size() == reading.stages->size(),
        "what was read writes back as a file that reads to as many stages");
  for (std::size_t k = 0; k < reading.stages->size(); ++k) {
    const tervane::ChainStageForm& was = (*reading.stages)[k];
    const tervane::ChainStageForm& is = (*again.stages)[k];
    for (const auto& table : {std::span<const tervane::FormTextField>(tervane::kFormTextFields),
                              std::span<const tervane::FormTextField>(tervane::kBuiltCircuitFields)})
      for (const tervane::FormTextField& field : table)
        Check(is.form.*field.member == was.form.*field.member, "each text reads back as it was");
    Check(is.form.m_nAmpType == was.form.m_nAmpType && is.form.m_bApplyCorner == was.form.m_bApplyCorner &&
              is.partName == was.partName,
          "the type, the check box and the part read back");
  }
  return 0;
}
