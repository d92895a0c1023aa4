#pragma once
// Names compared as Windows' own lists sort them: by the user's locale, case
// ignored the linguistic way, digits as numbers ("Update 9" before "Update
// 10"), so "Łódź" sorts with L and Japanese names by the locale's order.
// CompareStringEx is looked up, and a system that refuses the digit flag
// is asked without it; without the call at all, or when it fails, the
// list's original rule decides, so an order is always total.

#include <windows.h>

#include <string_view>

#include "inventory/RowSort.h"

namespace name_order {

inline int Compare(std::wstring_view a, std::wstring_view b) {
    using CompareEx = int WINAPI(LPCWSTR, DWORD, LPCWCH, int, LPCWCH, int, LPNLSVERSIONINFO, LPVOID, LPARAM);
    static CompareEx* const compare = reinterpret_cast<CompareEx*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "CompareStringEx")));
    static DWORD flags = LINGUISTIC_IGNORECASE | SORT_DIGITSASNUMBERS;
    if (compare && a.size() < 0x7FFFFFFF && b.size() < 0x7FFFFFFF) {
        for (;;) {
            const int result = compare(LOCALE_NAME_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                                       static_cast<int>(b.size()), nullptr, nullptr, 0);
            if (result != 0) return result - CSTR_EQUAL;
            if (GetLastError() != ERROR_INVALID_FLAGS || !(flags & SORT_DIGITSASNUMBERS)) break;
            flags &= ~static_cast<DWORD>(SORT_DIGITSASNUMBERS);
        }
    }
    return row_sort::PathOrder(a, b);
}

}  // namespace name_order
