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

// The platform's merge sort is stable: rows that compare equal keep their
// current order, in either direction.
TEST(ColumnSorterOrder, StableByTheComparison) {
    struct Case {
        std::vector<std::wstring> texts;
        bool ascending;
        std::vector<std::size_t> order;
    };
    const Case cases[] = {
        {{L"b", L"A", L"a", L"B"}, true, {1, 2, 0, 3}},
        {{L"b", L"A", L"a", L"B"}, false, {0, 3, 1, 2}},
        {{L"_x", L"Zip 10", L"zip 9", L"ZIP 10"}, true, {0, 1, 3, 2}},
        {{}, true, {}},
    };
    for (const Case& c : cases) {
        std::vector<const std::wstring*> texts;
        for (const std::wstring& text : c.texts) texts.push_back(&text);
        EXPECT_EQ(ColumnSorter::Order(texts, c.ascending), c.order) << c.texts.size() << " " << c.ascending;
    }
}

class ColumnSorterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\Zaltrow", "bDisableSplash", "1");
        ASSERT_TRUE(dialog.Create());
        // Entries 10..13; delta and charlie red, two rows share a command.
        std::vector<ProgramRow> rows;
        const wchar_t* names[] = {L"delta", L"Alpha", L"charlie", L"Bravo"};
        const wchar_t* commands[] = {L"C:\\b.exe", L"C:\\a.exe", L"C:\\b.exe", L"C:\\c.exe"};
        for (std::size_t i = 0; i < 4; ++i) {
            ProgramRow& row = rows.emplace_back();
            row.entry = 10 + i;
            row.name = names[i];
            row.command = commands[i];
            row.phantom = i % 2 == 0;
        }
        model = ProgramRows(std::move(rows));
        List().Show(&model);
    }

    ProgramListCtrl& List() { return MainDialogTestAccess::List(dialog); }

    // Each row as the control answers for it: texts, item data, entry.
    struct Shown {
        std::wstring name;
        std::wstring command;
        LPARAM data;
        std::size_t entry;
        bool operator==(const Shown&) const = default;
    };
    std::vector<Shown> Rows() {
        std::vector<Shown> rows;
        for (int i = 0; i < List().GetItemCount(); ++i)
            rows.push_back({List().GetItemText(i, 0), List().GetItemText(i, 1), List().GetItemData(i),
                            List().EntryAt(i).value_or(999)});
        return rows;
    }

    ScratchRegistry scratch;
    ProgramRows model;  // outlives the dialog that shows it
    fw::Modeless<MainDialog> dialog;
};

TEST_F(ColumnSorterTest, SortedRowsKeepTheirOwnTextsItemDataAndEntries) {
    const Shown alpha{L"Alpha", L"C:\\a.exe", 0, 11}, bravo{L"Bravo", L"C:\\c.exe", 0, 13},
        charlie{L"charlie", L"C:\\b.exe", PhantomMark, 12}, delta{L"delta", L"C:\\b.exe", PhantomMark, 10};
    EXPECT_EQ(Rows(), (std::vector<Shown>{alpha, bravo, charlie, delta})) << "filled in order";
    List().SetSort(0, false);
    EXPECT_EQ(Rows(), (std::vector<Shown>{delta, charlie, bravo, alpha}));
    // By command: delta and charlie tie and keep their current order...
    List().SetSort(1, true);
    EXPECT_EQ(Rows(), (std::vector<Shown>{alpha, delta, charlie, bravo}));
    // ...which the reverse direction keeps as well.
    List().SetSort(1, false);
    EXPECT_EQ(Rows(), (std::vector<Shown>{bravo, delta, charlie, alpha}));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(List().RowOfEntry(Rows()[static_cast<std::size_t>(row)].entry), row);
        EXPECT_EQ(List().IsPhantomRow(row), Rows()[static_cast<std::size_t>(row)].data == PhantomMark);
    }
    EXPECT_EQ(List().RowOfEntry(14), -1);
    EXPECT_FALSE(List().EntryAt(4).has_value());
}

TEST_F(ColumnSorterTest, EmptyListSortsNothing) {
    List().Show(nullptr);
    List().SetSort(0, false);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(List().EntryAt(0).has_value());
}

}  // namespace
