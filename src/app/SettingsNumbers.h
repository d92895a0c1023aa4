#pragma once
// The main window's remembered layout is kept in its settings as short
// lists of numbers ("120,80,900,640,0"), with sizes at 96 DPI so a change
// of display scale keeps what the user chose.

#include <string>
#include <string_view>
#include <vector>

namespace settings_numbers {

std::string Join(const std::vector<int>& numbers);
// Exactly `count` whole numbers separated by commas; empty when the text is
// anything else (so a damaged setting is ignored, never half applied).
std::vector<int> Split(std::string_view text, std::size_t count);
// A length at `fromDpi` as it is at `toDpi`, rounded to the nearest pixel.
int Scale(int length, int fromDpi, int toDpi);

}  // namespace settings_numbers
