#include "app/ColumnSorter.h"

#include <algorithm>
#include <numeric>

#include "inventory/RowSort.h"

int ColumnSorter::Compare(const std::wstring& a, const std::wstring& b, bool ascending) {
    return ascending ? row_sort::PathOrder(a, b) : row_sort::PathOrder(b, a);
}

std::vector<std::size_t> ColumnSorter::Order(const std::vector<const std::wstring*>& texts, bool ascending) {
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return Compare(*texts[a], *texts[b], ascending) < 0;
    });
    return order;
}
