#include "inventory/SearchText.h"

#include <algorithm>

#include "registry/RegistryText.h"

namespace search_text {

bool Contains(std::wstring_view text, std::wstring_view needle) {
    if (needle.empty()) return true;
    auto same = [](wchar_t a, wchar_t b) { return registry_text::AsciiLower(a) == registry_text::AsciiLower(b); };
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), same) != text.end();
}

bool Matches(const SearchFields& fields, std::wstring_view needle) {
    return Contains(fields.name, needle) || Contains(fields.publisher, needle) || Contains(fields.keyName, needle) ||
           Contains(fields.command, needle);
}

}  // namespace search_text
