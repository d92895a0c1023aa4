#include "inventory/RowSort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A stand-in for the locale's order that differs from the path rule: by
// length first, so a case shows which rule a column used.
int ByLength(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return row_sort::PathOrder(a, b);
}

SortKey Text(const wchar_t* text) { return {text, 0, *text == L'\0'}; }
SortKey Number(std::uint64_t number) { return {{}, number, false}; }
SortKey Blank() { return {{}, 0, true}; }

}  // namespace

// Numbers and dates by value, blanks last in both directions, ties in
// their order, and each text kind by its own rule.
TEST(RowSort, EachKindInBothDirectionsBlanksLastTiesKept) {
    struct Case {
        const char* what;
        std::vector<SortKey> keys;
        SortKind kind;
        bool ascending;
        std::vector<std::size_t> order;
    } cases[] = {
        {"sizes", {Number(900), Blank(), Number(12), Number(1000000)}, SortKind::Number, true, {2, 0, 3, 1}},
        {"sizes down", {Number(900), Blank(), Number(12), Number(1000000)}, SortKind::Number, false, {3, 0, 2, 1}},
        {"dates", {Number(20240131), Number(20231201), Blank(), Number(20240201)}, SortKind::Number, true, {1, 0, 3, 2}},
        {"dates down", {Number(20240131), Number(20231201), Blank(), Number(20240201)}, SortKind::Number, false,
         {3, 0, 1, 2}},
        {"ties keep order", {Number(5), Number(1), Number(5), Number(1)}, SortKind::Number, true, {1, 3, 0, 2}},
        {"ties keep order down", {Number(5), Number(1), Number(5), Number(1)}, SortKind::Number, false, {0, 2, 1, 3}},
        {"blanks keep order", {Blank(), Number(3), Blank()}, SortKind::Number, false, {1, 0, 2}},
        {"path rule", {Text(L"b"), Text(L"_z"), Text(L"A"), Text(L"")}, SortKind::Path, true, {1, 2, 0, 3}},
        {"path rule down", {Text(L"b"), Text(L"_z"), Text(L"A"), Text(L"")}, SortKind::Path, false, {0, 2, 1, 3}},
        {"names by the given order", {Text(L"bb"), Text(L""), Text(L"a"), Text(L"ccc")}, SortKind::Name, true,
         {2, 0, 3, 1}},
        {"names down", {Text(L"bb"), Text(L""), Text(L"a"), Text(L"ccc")}, SortKind::Name, false, {3, 0, 2, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(row_sort::Order(c.keys, c.kind, c.ascending, &ByLength), c.order) << c.what;
}
