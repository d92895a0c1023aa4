#pragma once
// The order of the program list's rows by one column, as a pure function
// on each row's sort key: texts by the rule of their column, numbers (the
// size, the install date as YYYYMMDD) by value. A blank (no publisher, no
// date that names a day, no size) goes last whichever the direction, and
// rows that compare equal keep their order, so a second click never
// shuffles ties.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "inventory/ProgramColumn.h"

struct SortKey {
    std::wstring_view text;    // SortKind::Name and SortKind::Path
    std::uint64_t number = 0;  // SortKind::Number
    bool blank = false;
};

// Negative, zero or positive as a sorts before, with or after b.
using TextOrder = int (*)(std::wstring_view a, std::wstring_view b);

namespace row_sort {

// The list's original rule for paths: character by character, A-Z as a-z,
// every other character by its UTF-16 value.
int PathOrder(std::wstring_view a, std::wstring_view b);

// result[k] is the position in `keys` of the row that goes to position k.
// `names` orders SortKind::Name texts (the user's locale in the window).
std::vector<std::size_t> Order(const std::vector<SortKey>& keys, SortKind kind, bool ascending, TextOrder names);

}  // namespace row_sort
