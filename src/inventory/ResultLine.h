#pragma once
// What became of each entry (or backup file) a changing verb of the console
// program acted on, and its line in the --result file, which the window
// also reads back when it has handed a change to the elevated console
// program. Pure text rules.

#include <optional>
#include <string>
#include <string_view>

enum class OperationOutcome {
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
    OperationOutcome outcome = OperationOutcome::Failed;
    std::wstring detail;  // the backup file (Removed, Restored), or what went wrong
};

// Failures are named on standard error, everything else on standard output.
bool IsFailure(OperationOutcome outcome);

// `text` with tabs and line breaks made blanks, for one field of one line.
std::wstring OneLine(std::wstring text);

// The word of an outcome in --result's file ("removed", "already-removed", ...).
const wchar_t* OutcomeWord(OperationOutcome outcome);

// One line of --result's file, without its line end:
// LIST<TAB>KEY<TAB>OUTCOME<TAB>DETAIL, OUTCOME one of removed,
// already-removed, restored, not-found, needs-administrator, exists,
// not-a-backup, backup-failed, failed
// (tabs and line breaks inside a text become blanks).
std::wstring ResultFileLine(const OperationResult& result);

// A line of that file read back (without its line end); the name is not
// in the file and stays empty. Nothing for a line that is not one.
std::optional<OperationResult> ParseResultFileLine(std::wstring_view line);
