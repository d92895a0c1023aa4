#include "app/ColumnSorter.h"

#include <algorithm>
#include <numeric>

namespace {

// A-Z compare as a-z: the underscore, below the lower-case letters, sorts
// before every letter.
unsigned Folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : static_cast<unsigned>(c); }

int CaseInsensitiveOrder(const std::wstring& a, const std::wstring& b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned x = Folded(a[i]);
        const unsigned y = Folded(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

int ColumnSorter::Compare(const std::wstring& a, const std::wstring& b, bool ascending) {
    return ascending ? CaseInsensitiveOrder(a, b) : CaseInsensitiveOrder(b, a);
}

std::vector<std::size_t> ColumnSorter::Order(const std::vector<const std::wstring*>& texts, bool ascending) {
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return Compare(*texts[a], *texts[b], ascending) < 0;
    });
    return order;
}
