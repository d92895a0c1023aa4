#pragma once
// Taking an entry out of the Add/Remove Programs data, in the entry's own
// list and registry view: first a backup file of both its keys (failure
// reported, nothing deleted; see EntryBackup), then its Uninstall key's
// whole tree (failure reported with Windows' reason), then its ARPCache
// record's tree (failure ignored). The window and the command line share
// RemoveEntry; the window adds its questions and messages.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "inventory/ProgramEntry.h"

struct RemovalResult {
    enum class RemovalOutcome {
        Removed,       // backed up into backupFile, then deleted
        AlreadyGone,   // the entry's key was not there: no backup, nothing done
        BackupFailed,  // nothing deleted; failureText says what and where
        Failed,        // not deleted (nor backed up, when the key could not be changed)
        Refused,       // the name can be no entry's key (EntryKeyProblem): nothing read, nothing changed
    };
    RemovalOutcome outcome = RemovalOutcome::Failed;
    std::wstring keyName;  // the key as the registry stores it, once found
    std::wstring backupFile;
    std::wstring failureText;  // in words, with Windows' reason
    DWORD error = ERROR_SUCCESS;  // Windows' code for a failed deletion
};

// Removes one entry, backing it up into `backupFolder` first. `keyName` must
// be one direct subkey of the list's Uninstall key, found there by
// enumeration with letter case ignored: what is backed up, deleted and
// reported is the key as stored. Anything else is Refused or AlreadyGone
// before a backup is made. Removals of this program are done one at a time
// across processes (two runs at once never both back up and report the same
// entry), and an entry found gone is AlreadyGone, never a failure.
RemovalResult RemoveEntry(const ListRef& list, const std::wstring& keyName, const std::wstring& backupFolder);

// The entry's key as the registry stores it, when a direct subkey of the
// list's Uninstall key has that name (letter case ignored); empty when none
// has, or when the name can be no entry's key. A list whose key cannot be
// read counts as having it, spelt as given, so the removal says why.
std::wstring StoredEntryKey(const ListRef& list, const std::wstring& keyName);
inline bool EntryExists(const ListRef& list, const std::wstring& keyName) { return !StoredEntryKey(list, keyName).empty(); }

// The window's Remove: RemoveEntry into DefaultBackupFolder(), then
// `refreshList` and the message. `owner` owns the messages; the refreshed
// list is painted before the message covers it. Where the program runs
// without the rights a list needs, that list's entries are handed to the
// elevated console program (ElevatedHandOff) first, with their backups
// going to the same folder; a declined prompt removes nothing at all.
void RemoveProgramEntry(HWND owner, const ProgramEntry& entry, const std::function<void()>& refreshList);
// The same for several entries at once: each backed up and removed from its
// own list, then one refresh and one report (RemoveProgramEntry's for one).
void RemoveProgramEntries(HWND owner, const std::vector<ProgramEntry>& entries,
                          const std::function<void()>& refreshList);
