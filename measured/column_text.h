#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The cells of a line of columns, as analysers and spreadsheets write them.
namespace tervane {

// What separates a file's columns, from its first line that is not a
// comment: a tab, else a semicolon, else a comma where the line holds one;
// else runs of blanks (' ').
char ColumnDelimiterOf(std::string_view line);

// The cells of `line` between `delimiter`s, each without the blanks around
// it; a delimiter inside double quotes is part of its cell. A line that
// ends in a delimiter other than blanks has no empty cell after it, as some
// programs end every line so.
void SplitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells);

// A cell without its enclosing double quotes, doubled quotes made single.
std::string Unquoted(std::string_view cell);

// The number a cell holds, in decimal or scientific notation with a decimal
// point ("1e3", "+2.5", "-140.92"; "inf" and "nan" too), read whole and
// whatever the locale; nothing when the cell, without its quotes, is
// anything else.
std::optional<double> CellNumber(std::string_view cell);

// A cell as a reason quotes it, in Windows-1252: cut short if long.
std::string QuotedCell(std::string_view cell);

}  // namespace tervane
