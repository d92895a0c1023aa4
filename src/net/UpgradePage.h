#pragma once
// Reading the maker's upgrade page: the newest version, its description and
// the installer's address, each found after an HTML comment marker. Pure
// text rules, no platform calls.

#include <string>
#include <string_view>
#include <vector>

struct UpgradePage {
    float newVersion = 0;       // kept when a page has no version marker
    std::string description;    // cleared by every parse
    std::string downloadLink;   // kept when a page has no link marker
};

// The version lines of the page are read from their first 99 characters.
constexpr std::size_t kVersionLineChars = 99;

// The longest leading decimal number (after white space: sign, digits,
// point, exponent) of the line's first 99 characters; 0 when there is none.
float ReadVersionNumber(std::string_view line);

// Applies the page's lines (each ending in a line feed) to `page`.
void ParseUpgradePage(const std::vector<std::string>& lines, UpgradePage& page);
