#pragma once

#include <string>
#include <string_view>

namespace tervane {

// A field of a CSV line (`separator` ','), or of tab-separated text ('\t')
// as spreadsheets paste it: quoted, with its quotes doubled, when it holds
// the separator, a quote or a line end; as it is otherwise. Byte by byte,
// so Windows-1252 and UTF-8 text alike.
std::string DelimitedField(std::string_view text, char separator);

}  // namespace tervane
