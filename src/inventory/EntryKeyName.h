#pragma once
// What an entry's key may be: exactly one direct subkey name of its list's
// Uninstall key. Anything else would reach further than one entry when
// joined to the list's path: an empty name is the Uninstall key itself
// (the whole list), a backslash walks into another key. Pure text rules;
// that the key exists is the registry's question (StoredEntryKey).

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxEntryKeyChars = 255;  // Windows' limit for a key name

// Empty when `key` can be an entry's key; otherwise why not, as a clause
// that follows the key's quoted name, e.g. "is empty".
std::wstring EntryKeyProblem(std::wstring_view key);
