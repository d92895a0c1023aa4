#pragma once
// From the list's selection to the inventory entry it shows.

#include <optional>
#include <string>

#include "framework/ListView.h"
#include "inventory/ProgramInventory.h"

struct SelectedEntry {
    int row = -1;                        // the first selected row; -1: none
    std::string rowText;                 // its column-0 text
    std::optional<ProgramEntry> entry;   // a copy of the entry it shows, if any
};

// The first selected row (lowest index) and the first entry, in inventory
// order, whose display name and uninstall command equal the row's column 0
// and column 1 texts byte for byte (_mbscmp). Matching on both keeps a
// selected phantom row from resolving to a valid twin of the same name.
SelectedEntry FindSelectedEntry(const fw::ListView& list, const ProgramInventory& inventory);

// True when a row of the list shows exactly this display name.
bool IsStillListed(const fw::ListView& list, const std::string& displayName);

// The texts the removal commands show.
std::string InvalidSelectionText(const std::string& rowText);
std::string RemoveQuestionText(const std::string& displayName);
std::string RemovalFailedText(EntrySource source, const std::string& keyName);
std::string RemovedText(const std::string& displayName);
// When the backup that must come before a removal cannot be made: what
// failed, where (a file or folder, or a registry key) and the reason.
std::string BackupNotWrittenText(const std::string& where, const std::string& reason);
std::string BackupNotReadText(const std::string& key, const std::string& reason);
