#pragma once
// Taking an entry out of the Add/Remove Programs data, in the entry's own
// list and registry view: first a backup file of both its keys (failure
// reported, nothing deleted; see EntryBackup), then its Uninstall key's
// whole tree (failure reported with Windows' reason), then its ARPCache
// record's tree (failure ignored). The window and the command line share
// RemoveEntry and RemoveEntries; the window adds its questions and messages
// (RemoveCommand).

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "inventory/ProgramEntry.h"
#include "inventory/ResultLine.h"

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

// What became of one entry of a batch, whoever removed it.
struct EntryRemoved {
    RemovalResult::RemovalOutcome outcome = RemovalResult::RemovalOutcome::Failed;
    std::wstring backupFile;
    std::wstring failureText;
};

// What the elevated step did with the entries handed to it: ERROR_SUCCESS
// when it ran (each entry's result is then in `results`), ERROR_CANCELLED
// when the consent prompt was refused, else why it could not be started
// or read back.
struct ElevatedRemovals {
    DWORD error = ERROR_SUCCESS;
    DWORD exitCode = 0;
    std::vector<OperationResult> results;
};
// Removes these entries, elevated; the elevated step keeps their backups
// in the machine's folder (MachineBackupFolder), never in the user's.
using ElevatedRemover = std::function<ElevatedRemovals(const std::vector<ProgramEntry>& entries)>;

struct BatchRemoval {
    // Not ERROR_SUCCESS: the elevated step did not run, and nothing at all
    // was removed.
    DWORD handOffError = ERROR_SUCCESS;
    std::vector<EntryRemoved> removals;  // by entry
    std::size_t removed = 0;
    std::size_t gone = 0;
    // The folders the backups of removed entries went to, in order of
    // first use: the user's own and, after a hand-off, the machine's.
    std::vector<std::wstring> BackupFolders() const;
};

// Removes several entries, each backed up into `backupFolder` and removed
// from its own list. Where the program runs without the rights a list
// needs, that list's entries go to `elevated` (backed up there) first, all at once, so a
// declined prompt removes nothing at all.
BatchRemoval RemoveEntries(const std::vector<ProgramEntry>& entries, const std::wstring& backupFolder,
                           const ElevatedRemover& elevated);
