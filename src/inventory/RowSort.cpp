#include "inventory/RowSort.h"

#include <algorithm>
#include <numeric>

#include "registry/RegistryText.h"

namespace row_sort {

namespace {

// A-Z compare as a-z: the underscore, below the lower-case letters, sorts
// before every letter.
unsigned Folded(wchar_t c) { return static_cast<unsigned>(registry_text::AsciiLower(c)); }

}  // namespace

int PathOrder(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned x = Folded(a[i]);
        const unsigned y = Folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

std::vector<std::size_t> Order(const std::vector<SortKey>& keys, SortKind kind, bool ascending, TextOrder names) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto compare = [&](const SortKey& a, const SortKey& b) {
        switch (kind) {
        case SortKind::Number: return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
        case SortKind::Path: return PathOrder(a.text, b.text);
        case SortKind::Name: return names ? names(a.text, b.text) : PathOrder(a.text, b.text);
        }
        return 0;
    };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
        const SortKey& a = keys[x];
        const SortKey& b = keys[y];
        if (a.blank || b.blank) return !a.blank && b.blank;
        const int c = compare(a, b);
        return ascending ? c < 0 : c > 0;
    });
    return order;
}

}  // namespace row_sort
