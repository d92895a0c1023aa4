#include "inventory/BackupGroups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three rounds of removals of A and B, and one of C; larger time is later.
const std::vector<BackupFacts> kBackups{
    {L"m\\a", 6, L"Alpha", L"machine", false}, {L"u\\b", 5, L"Bravo", L"user", true},
    {L"m\\c", 4, L"Charlie", L"", false},      {L"m\\a", 3, L"Alpha", L"machine", false},
    {L"u\\b", 2, L"Bravo", L"user", true},     {L"m\\a", 1, L"Alpha", L"machine", false},
};

// "2" is backup 2 as an entry's row folding nothing, "0+2" backup 0 folding
// two, "(3)" backup 3 shown as an older one.
std::string Shown(const std::vector<GroupedBackup>& rows) {
    std::string text;
    for (const GroupedBackup& row : rows) {
        if (!text.empty()) text += ' ';
        if (!row.head) text += '(';
        text += std::to_string(row.backup);
        if (!row.head) text += ')';
        if (row.head && row.older) {
            text += '+';
            text += std::to_string(row.older);
        }
    }
    return text;
}

}  // namespace

// One row per entry for its newest backup; unfolded entries show their
// older backups under it, newest first, whatever the sort; blanks last.
TEST(BackupGroups, OneRowPerEntryOlderOnesFoldedSortedByTheNewest) {
    struct Case {
        BackupColumn column;
        bool ascending;
        std::set<std::wstring> unfolded;
        std::string rows;
    } cases[] = {
        {BackupColumn::When, false, {}, "0+2 1+1 2"},
        {BackupColumn::When, true, {}, "2 1+1 0+2"},
        {BackupColumn::When, false, {L"m\\a"}, "0+2 (3) (5) 1+1 2"},
        {BackupColumn::When, true, {L"m\\a", L"u\\b", L"m\\c"}, "2 1+1 (4) 0+2 (3) (5)"},
        {BackupColumn::Entry, false, {}, "2 1+1 0+2"},
        {BackupColumn::List, true, {}, "0+2 1+1 2"},   // no list: last
        {BackupColumn::List, false, {}, "1+1 0+2 2"},  // and last this way too
        {BackupColumn::Listed, false, {L"u\\b"}, "1+1 (4) 0+2 2"},
        {BackupColumn::Listed, true, {}, "0+2 2 1+1"},  // ties keep their order
    };
    for (const Case& c : cases)
        EXPECT_EQ(Shown(GroupBackups(kBackups, c.column, c.ascending, c.unfolded, nullptr)), c.rows)
            << static_cast<int>(c.column) << (c.ascending ? " up" : " down");
    EXPECT_EQ(Shown(GroupBackups({}, BackupColumn::When, false, {}, nullptr)), "");
}
