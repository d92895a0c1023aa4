#pragma once
// The order of the program list's rows by one column's text, as pure
// functions on strings: the list sorts its own row model with them, so a
// header click costs no round trip through the control per row.

#include <cstddef>
#include <string>
#include <vector>

class ColumnSorter {
public:
    // The order of a against b, reversed when descending: character by
    // character, A-Z as a-z, every other character by its UTF-16 value.
    static int Compare(const std::wstring& a, const std::wstring& b, bool ascending);

    // The new order of rows whose sort-column texts are `texts` (in their
    // current order): result[k] is the current position of the row that
    // goes to position k. Stable, as the platform's merge sort is: rows
    // that compare equal keep their current order.
    static std::vector<std::size_t> Order(const std::vector<const std::wstring*>& texts, bool ascending);
};
