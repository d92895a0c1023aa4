#pragma once
// What became of each entry (or backup file) a changing verb acted on, in
// the words the console, the --result file and the exit code give it. Pure
// text rules.

#include <string>
#include <vector>

enum class Outcome {
    Removed,             // backed up, then deleted by this run
    WouldRemove,         // --dry-run: nothing changed
    AlreadyRemoved,      // gone by the time this run got to it: no backup, no failure
    Restored,
    NotFound,            // no such entry, list or file
    NeedsAdministrator,  // not tried: a machine-wide list or another user's
    Exists,              // restore: the entry is there again (--replace overwrites)
    NotABackup,          // restore: refused, nothing imported
    BackupFailed,        // nothing deleted
    Failed,
};

struct OperationResult {
    std::wstring list;    // the entry's list; empty for a file
    std::wstring key;     // the entry's key, or the file
    std::wstring name;    // the entry's display name, when known
    Outcome outcome = Outcome::Failed;
    std::wstring detail;  // the backup file (Removed, Restored), or what went wrong
};

// Failures are named on standard error, everything else on standard output.
bool IsFailure(Outcome outcome);

// One line for the console, without its line end, e.g.
// "removed  machine-32  {6F1A...}  Acme Tool  (backup: C:\...\x.reg)".
std::wstring ConsoleLine(const OperationResult& result);

// One line of --result's file, without its line end:
// LIST<TAB>KEY<TAB>OUTCOME<TAB>DETAIL, OUTCOME one of removed,
// already-removed, not-found, needs-administrator, backup-failed, failed
// (tabs and line breaks inside a text become blanks).
std::wstring ResultFileLine(const OperationResult& result);

// kExitNeedsAdministrator over kExitSomeFailed over kExitNotFound over
// kExitDone.
int ExitCodeOf(const std::vector<OperationResult>& results);

// The last line of clean and remove: how many were removed of how many,
// what else happened to the rest, and where the backups are.
std::wstring RemovalSummary(const std::vector<OperationResult>& results, const std::wstring& what,
                            const std::wstring& backupFolder);
