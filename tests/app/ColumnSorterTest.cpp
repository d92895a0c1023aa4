#include "app/ColumnSorter.h"

#include <gtest/gtest.h>

#include "MainDialogTestAccess.h"
#include "app/MainDialog.h"
#include "ScratchRegistry.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(ColumnSorterCompare, CaseInsensitiveCharacterOrder) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int ascending;  // sign of the comparison of a against b
    };
    const Case cases[] = {
        {L"Adobe Reader", L"adobe reader", 0},   // letter case does not count
        {L"_Beta", L"Alpha", -1},                // '_' (0x5F) is below 'a' (0x61)
        {L"_beta", L"zeta", -1},
        {L"[x", L"a", -1},                       // '[' is below 'a' once 'A'..'Z' fold
        {L"{x", L"z", 1},                        // '{' is above 'z'
        {L"Zip 9", L"zip 10", 1},                // no numeric ordering
        {L"", L"a", -1},
        {L"abc", L"ab", 1},
        // Other characters by their UTF-16 value, the same on every system.
        {L"\u00E9t\u00E9", L"zeta", 1},           // e-acute is above every ASCII letter
        {L"\u0416", L"\u5DE5", -1},               // Cyrillic before CJK
        {L"\u0416x", L"\u0416X", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sign(ColumnSorter::Compare(c.a, c.b, true)), c.ascending) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(ColumnSorter::Compare(c.a, c.b, false)), -c.ascending) << c.a << " vs " << c.b;
    }
}

// A sorter that runs out of memory after `records` records.
class StarvedSorter : public ColumnSorter {
public:
    StarvedSorter(fw::ListView& list, int column, int records) : ColumnSorter(list, column), left_(records) {}

protected:
    SortRecord* NewRecord(std::wstring text, LPARAM savedData) override {
        if (left_-- <= 0) return nullptr;
        return ColumnSorter::NewRecord(std::move(text), savedData);
    }

private:
    int left_;
};

class ColumnSorterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\Zaltrow", "bDisableSplash", "1");
        ASSERT_TRUE(dialog.Create());
        auto& list = MainDialogTestAccess::List(dialog);
        list.DeleteAllItems();
        const wchar_t* names[] = {L"delta", L"Alpha", L"charlie", L"Bravo"};
        for (int i = 0; i < 4; ++i) {
            list.InsertItem(i, names[i], 0);
            list.SetItemData(i, 10 + i);
        }
    }

    std::vector<std::pair<std::wstring, LPARAM>> Rows() {
        std::vector<std::pair<std::wstring, LPARAM>> rows;
        for (int i = 0; i < MainDialogTestAccess::List(dialog).GetItemCount(); ++i)
            rows.emplace_back(MainDialogTestAccess::List(dialog).GetItemText(i, 0), MainDialogTestAccess::List(dialog).GetItemData(i));
        return rows;
    }

    ScratchRegistry scratch;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(ColumnSorterTest, SortedRowsKeepTheirOwnItemData) {
    MainDialogTestAccess::List(dialog).SortByColumn(0, true);
    const std::vector<std::pair<std::wstring, LPARAM>> ascending{{L"Alpha", 11}, {L"Bravo", 13}, {L"charlie", 12}, {L"delta", 10}};
    EXPECT_EQ(Rows(), ascending);
    MainDialogTestAccess::List(dialog).SortByColumn(0, false);
    const std::vector<std::pair<std::wstring, LPARAM>> descending{{L"delta", 10}, {L"charlie", 12}, {L"Bravo", 13}, {L"Alpha", 11}};
    EXPECT_EQ(Rows(), descending);
}

TEST_F(ColumnSorterTest, RecordsThatCannotBeMadeLeaveTheListUnsortedAndIntact) {
    const auto before = Rows();
    for (int records : {0, 2, 3}) {
        {
            StarvedSorter sorter(MainDialogTestAccess::List(dialog), 0, records);
            sorter.Prepare();
            EXPECT_FALSE(sorter.Complete());
            sorter.Sort(true);
        }
        EXPECT_EQ(Rows(), before) << "after " << records << " records";
    }
    // And the list still sorts afterwards.
    MainDialogTestAccess::List(dialog).SortByColumn(0, true);
    EXPECT_EQ(Rows().front().first, L"Alpha");
}

TEST_F(ColumnSorterTest, EmptyListSortsNothing) {
    MainDialogTestAccess::List(dialog).DeleteAllItems();
    ColumnSorter sorter(MainDialogTestAccess::List(dialog), 0);
    sorter.Prepare();
    EXPECT_TRUE(sorter.Complete());
    sorter.Sort(true);
    EXPECT_EQ(MainDialogTestAccess::List(dialog).GetItemCount(), 0);
}

}  // namespace
