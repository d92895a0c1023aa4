#pragma once
// Expanding the %NAME% references of a REG_EXPAND_SZ value, as Windows
// expands them: a name the lookup does not know stays as written, and a
// lone % is an ordinary character. Pure text rules; where the values come
// from is ListEnvironment's.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct Expansion {
    std::wstring text;
    bool unresolved = false;  // some %NAME% was not known and stays as written
};

using VariableLookup = std::function<std::optional<std::wstring>(std::wstring_view name)>;

Expansion ExpandReferences(std::wstring_view text, const VariableLookup& lookup);
