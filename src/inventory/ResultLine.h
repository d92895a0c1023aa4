#pragma once
// What became of each entry (or backup file) a changing verb of the console
// program acted on, and its line in the --result file, which the window
// also reads back when it has handed a change to the elevated console
// program. Pure text rules.

#include <cstdint>
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
    // uninstall (inventory/BatchUninstall.h says when each is given):
    Uninstalled,
    RestartNeeded,
    StillListed,
    Skipped,
    TimedOut,
    NotRun,
    WouldUninstall,      // --dry-run
    Failed,
};

// What an uninstall ran and how it ended, in its line's further fields.
struct UninstallFields {
    std::wstring command;  // empty when nothing ran
    bool quiet = false;
    std::optional<std::uint32_t> exitCode;
    std::wstring backupFile;  // the entry was removed afterwards, backed up here
    bool operator==(const UninstallFields&) const = default;
};

struct OperationResult {
    std::wstring list;    // the entry's list; empty for a file
    std::wstring key;     // the entry's key, or the file
    std::wstring name;    // the entry's display name, when known
    OperationOutcome outcome = OperationOutcome::Failed;
    std::wstring detail;  // the backup file (Removed, Restored), or what went wrong
    std::optional<UninstallFields> uninstall = {};  // uninstall's lines only
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
// (tabs and line breaks inside a text become blanks). An uninstall's line
// goes on: <TAB>NAME<TAB>HOW<TAB>EXIT<TAB>COMMAND<TAB>BACKUP, HOW "quiet",
// "window" or empty when nothing ran, EXIT decimal or empty.
std::wstring ResultFileLine(const OperationResult& result);

// A line of that file read back (without its line end); the name of a line
// that has none stays empty. Nothing for a line that is not one.
std::optional<OperationResult> ParseResultFileLine(std::wstring_view line);

// --result's value when the file is one the starting process opened itself:
// "handle:PID:VALUE", its process id and the handle's value, both decimal.
// The elevated hand-off writes through that handle (duplicated from its
// parent), never through a path. No file's name has that form: a colon
// after the first letters names no file.
struct ResultHandle {
    std::uint32_t process = 0;
    std::uintptr_t handle = 0;
    bool operator==(const ResultHandle&) const = default;
};
std::wstring ResultHandleArgument(std::uint32_t process, std::uintptr_t handle);
std::optional<ResultHandle> ParseResultHandleArgument(std::wstring_view text);
