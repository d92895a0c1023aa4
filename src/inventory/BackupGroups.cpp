#include "inventory/BackupGroups.h"

#include <algorithm>
#include <map>

std::vector<GroupedBackup> GroupBackups(const std::vector<BackupFacts>& backups, BackupColumn column, bool ascending,
                                    const std::set<std::wstring>& unfolded, TextOrder names) {
    // Each entry's backups, newest first (ties: as given).
    std::map<std::wstring, std::vector<std::size_t>> byEntry;
    std::vector<const std::wstring*> firstSeen;
    for (std::size_t i = 0; i < backups.size(); ++i) {
        auto [at, added] = byEntry.try_emplace(backups[i].entry);
        if (added) firstSeen.push_back(&at->first);
        at->second.push_back(i);
    }
    std::vector<std::vector<std::size_t>> groups;
    groups.reserve(firstSeen.size());
    for (const std::wstring* entry : firstSeen) {
        std::vector<std::size_t> group = byEntry[*entry];
        std::stable_sort(group.begin(), group.end(),
                         [&](std::size_t a, std::size_t b) { return backups[a].time > backups[b].time; });
        groups.push_back(std::move(group));
    }

    std::vector<SortKey> keys;
    keys.reserve(groups.size());
    SortKind kind = SortKind::Number;
    for (const std::vector<std::size_t>& group : groups) {
        const BackupFacts& newest = backups[group.front()];
        switch (column) {
        case BackupColumn::When: keys.push_back({{}, newest.time, newest.time == 0}); break;
        case BackupColumn::Entry:
            kind = SortKind::Name;
            keys.push_back({newest.name, 0, newest.name.empty()});
            break;
        case BackupColumn::List:
            kind = SortKind::Name;
            keys.push_back({newest.list, 0, newest.list.empty()});
            break;
        case BackupColumn::Listed: keys.push_back({{}, newest.listed ? 1u : 0u, false}); break;
        }
    }

    std::vector<GroupedBackup> rows;
    rows.reserve(backups.size());
    for (std::size_t at : row_sort::Order(keys, kind, ascending, names)) {
        const std::vector<std::size_t>& group = groups[at];
        rows.push_back({group.front(), true, group.size() - 1});
        if (group.size() > 1 && unfolded.count(backups[group.front()].entry))
            for (std::size_t i = 1; i < group.size(); ++i) rows.push_back({group[i], false, 0});
    }
    return rows;
}
