#include "app/ColumnSorter.h"

#include <gtest/gtest.h>

#include "MainDialogTestAccess.h"
#include "app/MainDialog.h"
#include "ScratchRegistry.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(ColumnSorterCompare, CaseInsensitiveByteOrder) {
    struct Case {
        const char* a;
        const char* b;
        int ascending;  // sign of the comparison of a against b
    };
    const Case cases[] = {
        {"Adobe Reader", "adobe reader", 0},   // letter case does not count
        {"_Beta", "Alpha", -1},                // '_' (0x5F) is below 'a' (0x61)
        {"_beta", "zeta", -1},
        {"[x", "a", -1},                       // '[' is below 'a' once 'A'..'Z' fold
        {"{x", "z", 1},                        // '{' is above 'z'
        {"Zip 9", "zip 10", 1},                // no numeric ordering
        {"", "a", -1},
        {"abc", "ab", 1},
        // Bytes above 0x7F are left out: Wine's run-time compares them as
        // signed characters, Windows' as unsigned ones.
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
    SortRecord* NewRecord(std::string text, LPARAM savedData) override {
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
        const char* names[] = {"delta", "Alpha", "charlie", "Bravo"};
        for (int i = 0; i < 4; ++i) {
            list.InsertItem(i, names[i], 0);
            list.SetItemData(i, 10 + i);
        }
    }

    std::vector<std::pair<std::string, LPARAM>> Rows() {
        std::vector<std::pair<std::string, LPARAM>> rows;
        for (int i = 0; i < MainDialogTestAccess::List(dialog).GetItemCount(); ++i)
            rows.emplace_back(MainDialogTestAccess::List(dialog).GetItemText(i, 0), MainDialogTestAccess::List(dialog).GetItemData(i));
        return rows;
    }

    ScratchRegistry scratch;
    fw::Modeless<MainDialog> dialog;
};

TEST_F(ColumnSorterTest, SortedRowsKeepTheirOwnItemData) {
    MainDialogTestAccess::List(dialog).SortByColumn(0, true);
    const std::vector<std::pair<std::string, LPARAM>> ascending{{"Alpha", 11}, {"Bravo", 13}, {"charlie", 12}, {"delta", 10}};
    EXPECT_EQ(Rows(), ascending);
    MainDialogTestAccess::List(dialog).SortByColumn(0, false);
    const std::vector<std::pair<std::string, LPARAM>> descending{{"delta", 10}, {"charlie", 12}, {"Bravo", 13}, {"Alpha", 11}};
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
    EXPECT_EQ(Rows().front().first, "Alpha");
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
