#include "inventory/EntryKeyName.h"

std::wstring EntryKeyProblem(std::wstring_view key) {
    if (key.empty()) return L"is empty: an entry's key is one name in its list";
    if (key.find(L'\\') != std::wstring_view::npos)
        return L"has a backslash: an entry's key is one name in its list, not a path";
    if (key.size() > kMaxEntryKeyChars)
        return L"is longer than the " + std::to_wstring(kMaxEntryKeyChars) + L" characters a key name can have";
    return {};
}
