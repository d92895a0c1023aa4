#pragma once
// What the console says of each entry (or backup file) a changing verb
// acted on (inventory/ResultLine.h), and the exit code it makes. Pure text
// rules.

#include <string>
#include <vector>

#include "inventory/ResultLine.h"

// One line for the console, without its line end, e.g.
// "removed  machine-32  {6F1A...}  Acme Tool  (backup: C:\...\x.reg)".
std::wstring ConsoleLine(const OperationResult& result);

// kExitNeedsAdministrator over kExitSomeFailed over kExitNotFound over
// kExitDone.
int ExitCodeOf(const std::vector<OperationResult>& results);

// The last line of clean and remove: how many were removed (or, for a dry
// run, would be) of how many, what else happened to the rest, and where the
// backups are.
std::wstring RemovalSummary(const std::vector<OperationResult>& results, const std::wstring& what,
                            const std::wstring& backupFolder, bool dryRun);

// uninstall's exit code: kExitNeedsAdministrator over kExitSomeFailed
// (failed, still listed and not removed, skipped, timed out, not run) over
// kExitNotFound over kExitRestartNeeded over kExitDone. An entry still
// listed that --remove-if-phantom removed counts as done.
int UninstallExitCodeOf(const std::vector<OperationResult>& results);

// uninstall's last line: how many were uninstalled (or would be run) of
// how many, and what became of the rest.
std::wstring UninstallSummary(const std::vector<OperationResult>& results, bool dryRun);
