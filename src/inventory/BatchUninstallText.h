#pragma once
// What the window says when it uninstalls several programs: the one
// question (each program marked with how it will run), each row's state
// while the batch runs, and the one report at its end, with its offer to
// remove the entries left behind by uninstallers that are gone now.

#include <cstddef>
#include <string>
#include <vector>

#include "inventory/BatchUninstall.h"

// A selected row as the question sees it.
struct UninstallChoice {
    std::wstring displayName;
    bool phantom = false;     // red: nothing left to run
    bool quietKnown = false;  // a quiet form is known (QuietUninstallOf)
};

// "Uninstall these N programs, one after another?", then the names (the
// first kListedNames, then "and N more"), each with its mark: "runs
// quietly", "shows its own window" (every one, when `quietly` is off) or
// "its uninstaller is missing".
std::wstring UninstallManyQuestionText(const std::vector<UninstallChoice>& rows, bool quietly);

// A row's state while the batch runs: "Waiting", "Running", and then its
// outcome ("Uninstalled", "Restart needed", "Still listed", "Failed (exit
// code N)", "Skipped", ...).
std::wstring WaitingStateText();
std::wstring RunningStateText(bool quiet);
std::wstring EndedStateText(const BatchResult& result);

// The report: how many were uninstalled, need a restart, failed (with the
// reason), are still listed or were not run, each with its names. The
// entries still listed whose uninstaller is gone (`redNow`: red in the
// list refreshed after the batch) are `leftovers`, and `question` asks to
// remove them all; it is empty when there are none.
struct BatchReport {
    std::wstring text;
    std::wstring question;
    std::vector<std::size_t> leftovers;  // places in the results
    bool anyFailed = false;
};
BatchReport BatchReportOf(const std::vector<std::wstring>& displayNames, const std::vector<BatchResult>& results,
                          const std::vector<bool>& redNow);
