#include "cli/OperationResult.h"

#include <algorithm>

#include "cli/ExitCode.h"

namespace {

// What a person reads: the word with blanks, as a line's first column.
std::wstring Spoken(OperationOutcome outcome) {
    if (outcome == OperationOutcome::NeedsAdministrator) return L"administrator rights needed";
    std::wstring word = OutcomeWord(outcome);
    std::replace(word.begin(), word.end(), L'-', L' ');
    return word;
}

std::size_t Count(const std::vector<OperationResult>& results, OperationOutcome outcome) {
    return static_cast<std::size_t>(std::count_if(results.begin(), results.end(),
                                                  [&](const OperationResult& r) { return r.outcome == outcome; }));
}

// A message of several lines (what failed, the file or key, then Windows'
// reason) as one: each break becomes ": " unless the line before already
// ends a sentence or a clause, so a path never runs into the reason after it.
std::wstring JoinedLines(const std::wstring& text) {
    std::wstring joined;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        if (!line.empty()) {
            if (!joined.empty()) joined += joined.back() == L'.' || joined.back() == L':' ? L" " : L": ";
            joined += line;
        }
        start = end + 1;
    }
    return joined;
}

}  // namespace

std::wstring ConsoleLine(const OperationResult& result) {
    std::wstring line = Spoken(result.outcome) + L": ";
    if (!result.list.empty()) line += result.list + L"  ";
    line += result.key;
    if (!result.name.empty()) line += L"  " + result.name;
    if (result.outcome == OperationOutcome::Removed && !result.detail.empty())
        return OneLine(line + L"  (backup: " + result.detail + L")");
    if (result.outcome == OperationOutcome::Restored && !result.detail.empty())
        return OneLine(line + L"  (from " + result.detail + L")");
    // What ran is said whether or not anything went wrong: a fleet's log
    // shows how each entry was uninstalled.
    if (const std::optional<UninstallFields>& run = result.uninstall) {
        if (!run->command.empty()) {
            line += run->quiet ? L"  (quietly: " : L"  (with its window: ";
            line += run->command + (run->exitCode ? L"; exit code " + std::to_wstring(*run->exitCode) : L"") + L")";
        }
        if (!run->backupFile.empty()) line += L"  removed afterwards (backup: " + run->backupFile + L")";
    }
    if (result.detail.empty()) return OneLine(line);
    return OneLine(line + L": " + JoinedLines(result.detail));
}


int ExitCodeOf(const std::vector<OperationResult>& results) {
    int code = kExitDone;
    for (const OperationResult& result : results) {
        int own = kExitDone;
        if (result.outcome == OperationOutcome::NeedsAdministrator)
            own = kExitNeedsAdministrator;
        else if (result.outcome == OperationOutcome::NotFound)
            own = kExitNotFound;
        else if (IsFailure(result.outcome))
            own = kExitSomeFailed;
        // 5 over 3 over 4.
        const auto rank = [](int exit) { return exit == kExitNotFound ? 1 : exit == kExitSomeFailed ? 2 : exit; };
        if (rank(own) > rank(code)) code = own;
    }
    return code;
}

int UninstallExitCodeOf(const std::vector<OperationResult>& results) {
    // 5 over 3 over 4 over 3010 over 0.
    const auto rank = [](int exit) {
        return exit == kExitNeedsAdministrator ? 4 : exit == kExitSomeFailed ? 3 : exit == kExitNotFound ? 2
               : exit == kExitRestartNeeded    ? 1
                                               : 0;
    };
    int code = kExitDone;
    for (const OperationResult& result : results) {
        int own = kExitSomeFailed;
        switch (result.outcome) {
        case OperationOutcome::NeedsAdministrator: own = kExitNeedsAdministrator; break;
        case OperationOutcome::NotFound: own = kExitNotFound; break;
        case OperationOutcome::RestartNeeded: own = kExitRestartNeeded; break;
        case OperationOutcome::Uninstalled:
        case OperationOutcome::WouldUninstall: own = kExitDone; break;
        case OperationOutcome::StillListed:
            if (result.uninstall && !result.uninstall->backupFile.empty()) own = kExitDone;
            break;
        default: break;
        }
        if (rank(own) > rank(code)) code = own;
    }
    return code;
}

std::wstring UninstallSummary(const std::vector<OperationResult>& results, bool dryRun) {
    const std::wstring total = std::to_wstring(results.size());
    std::wstring line = dryRun ? L"Would run " + std::to_wstring(Count(results, OperationOutcome::WouldUninstall)) +
                                     L" of " + total + L" uninstallers"
                               : L"Uninstalled " +
                                     std::to_wstring(Count(results, OperationOutcome::Uninstalled) +
                                                     Count(results, OperationOutcome::RestartNeeded)) +
                                     L" of " + total + L" entries";
    std::size_t removed = 0;
    for (const OperationResult& result : results) removed += result.uninstall && !result.uninstall->backupFile.empty();
    const std::pair<std::size_t, const wchar_t*> parts[] = {
        {Count(results, OperationOutcome::RestartNeeded), L" needing a restart"},
        {Count(results, OperationOutcome::StillListed), L" still listed"},
        {removed, L" removed afterwards with backups"},
        {Count(results, OperationOutcome::Failed), L" failed"},
        {Count(results, OperationOutcome::Skipped), L" skipped (no quiet uninstall known)"},
        {Count(results, OperationOutcome::TimedOut), L" timed out and left running"},
        {Count(results, OperationOutcome::NotRun), L" not run"},
        {Count(results, OperationOutcome::NeedsAdministrator), L" needing administrator rights"},
        {Count(results, OperationOutcome::NotFound), L" not found"}};
    for (const auto& [count, what] : parts)
        if (count > 0) line += L", " + std::to_wstring(count) + what;
    return line + (dryRun ? L"; nothing was changed (dry run)." : L".");
}

std::wstring RemovalSummary(const std::vector<OperationResult>& results, const std::wstring& what,
                            const std::wstring& backupFolder, bool dryRun) {
    const std::size_t total = results.size();
    if (dryRun) {
        std::wstring line = L"Would remove " + std::to_wstring(Count(results, OperationOutcome::WouldRemove)) + L" of " +
                            std::to_wstring(total) + L" " + what;
        if (const std::size_t rights = Count(results, OperationOutcome::NeedsAdministrator))
            line += L", " + std::to_wstring(rights) + L" needing administrator rights";
        return line + L"; nothing was changed (dry run); backups would go to " + backupFolder + L".";
    }
    std::wstring line = L"Removed " + std::to_wstring(Count(results, OperationOutcome::Removed)) + L" of " +
                        std::to_wstring(total) + L" " + what;
    if (const std::size_t gone = Count(results, OperationOutcome::AlreadyRemoved)) line += L", " + std::to_wstring(gone) + L" already removed";
    if (const std::size_t rights = Count(results, OperationOutcome::NeedsAdministrator))
        line += L", " + std::to_wstring(rights) + L" needing administrator rights";
    if (const std::size_t missing = Count(results, OperationOutcome::NotFound)) line += L", " + std::to_wstring(missing) + L" not found";
    const std::size_t failed = Count(results, OperationOutcome::BackupFailed) + Count(results, OperationOutcome::Failed);
    if (failed > 0) line += L", " + std::to_wstring(failed) + L" failed";
    return line + L"; backups in " + backupFolder + L".";
}
