#pragma once
// Uninstalling several entries in one go: one uninstaller at a time, never
// two (Windows Installer runs one at a time, and uninstallers share
// folders; across processes too, by a lock every run of this program
// takes), each followed with every process it starts (fw::ProcessTree)
// until all have ended or its time is up. Each entry's outcome is said:
// uninstalled, restart needed (3010, 1641), still listed, failed (its exit
// code, or Windows' reason it could not start), skipped (no quiet form
// where only quiet ones may run), timed out (left running; nothing more is
// started). The window and the console program each show the progress
// through BatchProgress; nothing here has a window.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/RunningAccount.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/ProgramEntry.h"
#include "inventory/QuietUninstall.h"

// One entry to uninstall, as its row was judged.
struct BatchItem {
    ProgramEntry entry;
    std::wstring file;  // what its Uninstall starts
    std::wstring args;
    bool phantom = false;  // red: nothing left to run
    std::wstring reason;
    quiet_uninstall::QuietForm quiet;  // QuietUninstallOf
};

struct BatchOptions {
    bool quiet = false;      // run the quiet form where there is one
    bool quietOnly = false;  // and nothing else: an entry without one is skipped
    bool removeIfPhantom = false;  // remove, with its backup, an entry left behind by an uninstaller now gone
    bool dryRun = false;     // say what would run; start and change nothing
    unsigned timeoutMinutes = 30;      // per entry, as said
    DWORD timeoutMs = 30 * 60 * 1000;  // and as waited for
    std::wstring backupFolder;         // for removeIfPhantom
};

enum class BatchOutcome {
    Uninstalled,    // its entry is gone
    RestartNeeded,  // the uninstaller said 3010 or 1641: done at the next restart
    StillListed,    // it ended, and the entry is still there
    Failed,         // it ended with another code and the entry is there, or it could not start
    Skipped,        // no quiet form known, and only quiet ones may run
    TimedOut,       // still running when its time was up: left running
    NotRun,         // the batch stopped before it (asked to, or after a time-out)
    WouldRun,       // dry run
};

struct BatchResult {
    BatchOutcome outcome = BatchOutcome::NotRun;
    std::wstring command;  // what was (or would be) run; empty when nothing
    bool quiet = false;    // the quiet form
    std::optional<DWORD> exitCode;
    std::wstring reason;   // in words: why it failed or was skipped, or a red row's reason
    bool phantomAfter = false;  // still listed and its uninstaller now gone (or already red)
    bool removed = false;       // then removed, with backupFile
    std::wstring backupFile;
};

// Restart codes: ERROR_SUCCESS_REBOOT_REQUIRED, ERROR_SUCCESS_REBOOT_INITIATED.
inline bool IsRestartCode(DWORD code) { return code == 3010 || code == 1641; }

class BatchProgress {
public:
    virtual ~BatchProgress() = default;
    // Entry `index` starts now with `command` (nothing else runs).
    virtual void Started(std::size_t index, const std::wstring& command, bool quiet) = 0;
    // Entry `index` is done with.
    virtual void Ended(std::size_t index, const BatchResult& result) = 0;
    // Called while an uninstaller runs (or another run's holds the lock):
    // wait up to `milliseconds`, a window answering its messages meanwhile.
    virtual void Wait(DWORD milliseconds) = 0;
    // Asked before each entry after the first: false stops the batch there.
    virtual bool GoOn() = 0;
};

// The command that Uninstall of the item runs under the options, and
// whether it is the quiet form; nothing when it is not to run (skipped).
struct PlannedRun {
    std::wstring file;
    std::wstring args;
    std::wstring command;
    bool quiet = false;
};
std::optional<PlannedRun> PlanOf(const BatchItem& item, const BatchOptions& options);

std::vector<BatchResult> UninstallBatch(const std::vector<BatchItem>& items, const BatchOptions& options,
                                        BatchProgress& progress);

// Uninstalls these entries the way the window removes several
// (RemoveEntries): those of lists that `rights` may not change and that
// run quietly under `options` go to `elevated` first, all at once
// (ElevatedHandOff::Uninstall), each one's end said to `progress` as its
// line arrives; a declined prompt or a failed start runs nothing at all,
// each entry then not run with that reason. The rest then run here, under
// `options`: one that shows its own window asks for the rights itself, as
// the Uninstall of one row does.
// `stopAsked` tells the step to start no more (progress.GoOn() is false).
using ElevatedUninstaller = std::function<ElevatedHandOff::HandOffOutcome(
    const std::vector<ProgramEntry>& entries, const ResultArrived& arrived, const std::function<bool()>& stopAsked)>;
// Whether `item` goes to the elevated step.
bool RunsElevated(const BatchItem& item, const BatchOptions& options, fw::AccountRights rights);
std::vector<BatchResult> UninstallEntries(const std::vector<BatchItem>& items, const BatchOptions& options,
                                          BatchProgress& progress, fw::AccountRights rights,
                                          const ElevatedUninstaller& elevated);
