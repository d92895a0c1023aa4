#pragma once
// The search box's rule, shared by the window's filter and the console's
// --match and --publisher: a text is found when it occurs anywhere in a
// field, with case ignored as the list's names compare for keys (A-Z as
// a-z, every other character exact). Pure, so both front ends and the
// tests agree on it without a window.

#include <string_view>

namespace search_text {

// `needle` occurs in `text` under the ASCII case fold; an empty needle is
// found everywhere.
bool Contains(std::wstring_view text, std::wstring_view needle);

// What the search box searches: the entry's name, publisher, key name and
// uninstall command. Any one containing `needle` is a match.
struct SearchFields {
    std::wstring_view name;
    std::wstring_view publisher;
    std::wstring_view keyName;
    std::wstring_view command;
};
bool Matches(const SearchFields& fields, std::wstring_view needle);

}  // namespace search_text
