// The circuit file reader on any bytes. A file that reads must write back
// as a file that reads to the same form: what the reader accepts, the
// writer can keep. A file that does not read must say why.

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
  const tervane::CircuitReading reading =
      tervane::ReadCircuitFile(std::string_view(reinterpret_cast<const char*>(data), size), onto);
  if (!reading.form) {
    Check(!reading.reason.empty(), "a file refused gives its reason");
    return 0;
  }
  const tervane::CircuitReading again =
      tervane::ReadCircuitFile(tervane::WriteCircuitFile(*reading.form, reading.partName), onto);
  Check(again.form.has_value(), "what was read writes back as a file that reads");
  for (const auto& table : {std::span<const tervane::FormTextField>(tervane::kFormTextFields),
                            std::span<const tervane::FormTextField>(tervane::kBuiltCircuitFields)})
    for (const tervane::FormTextField& field : table)
      Check(*again.form.*field.member == *reading.form.*field.member, "each text reads back as it was");
  Check(again.form->m_nAmpType == reading.form->m_nAmpType &&
            again.form->m_bApplyCorner == reading.form->m_bApplyCorner && again.partName == reading.partName,
        "the type, the check box and the part read back");
  return 0;
}
