#pragma once
// The rows of "Restore removed entries": every backup of one entry kept
// together, its newest as the entry's row and the older ones folded under
// it (shown, newest first, only when the entry is unfolded), so three
// rounds of removals read as one row per entry. The entries sort by any
// column of their newest backup, blanks and ties as the main list has
// them (RowSort). Pure: the dialog gives each backup's facts.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "inventory/RowSort.h"

struct BackupFacts {
    std::wstring entry;   // what makes two backups one entry's: its list and folded key name
    std::uint64_t time = 0;  // when it was removed, larger is later
    std::wstring name;    // the entry's name as shown
    std::wstring list;    // its list as shown
    bool listed = false;  // the entry is in its list now
};

enum class BackupColumn { When, Entry, List, Listed };

struct GroupedBackup {
    std::size_t backup = 0;  // in the facts given
    bool head = true;        // the entry's newest backup; false: an older one
    std::size_t older = 0;   // for a head: how many older backups it folds
};

// The rows shown, in order. `unfolded` holds the `entry` of each entry
// whose older backups show; `names` orders names (the user's locale in the
// window).
std::vector<GroupedBackup> GroupBackups(const std::vector<BackupFacts>& backups, BackupColumn column, bool ascending,
                                    const std::set<std::wstring>& unfolded, TextOrder names);
