#include "inventory/BatchUninstallText.h"

#include "inventory/EntrySelection.h"

namespace {

std::wstring Programs(std::size_t count) {
    return std::to_wstring(count) + (count == 1 ? L" program" : L" programs");
}

// One section of the report: its heading, then a line per entry.
void AddSection(std::wstring& text, const std::wstring& heading, const std::vector<std::wstring>& lines) {
    if (lines.empty()) return;
    if (!text.empty()) text += L"\n\n";
    text += heading + ShortenedList(lines, L"\n    ");
}

// A name as the question shows it: one no window could hold is cut.
constexpr std::size_t kShownNameLength = 120;
std::wstring ShownName(const std::wstring& name) {
    return name.size() <= kShownNameLength ? name : name.substr(0, kShownNameLength) + L"\u2026";
}

std::wstring WithReason(const std::wstring& name, const std::wstring& reason) {
    return reason.empty() ? name : name + L": " + reason;
}

}  // namespace

std::wstring UninstallManyQuestionText(const std::vector<UninstallChoice>& rows, bool quietly) {
    std::vector<std::wstring> lines;
    for (const UninstallChoice& row : rows) {
        const wchar_t* mark = row.phantom                   ? L"its uninstaller is missing"
                              : quietly && row.quietKnown ? L"runs quietly"
                                                          : L"shows its own window";
        lines.push_back(ShownName(row.displayName) + L" \u2014 " + mark);
    }
    return L"Uninstall these " + Programs(rows.size()) + L", one after another?\n" + ShortenedList(lines, L"\n");
}

std::wstring WaitingStateText() { return L"Waiting"; }

std::wstring RunningStateText(bool quiet) { return quiet ? L"Running quietly" : L"Running in its own window"; }

std::wstring EndedStateText(const BatchResult& result) {
    switch (result.outcome) {
    case BatchOutcome::Uninstalled: return L"Uninstalled";
    case BatchOutcome::RestartNeeded: return L"Restart needed";
    case BatchOutcome::StillListed: return result.phantomAfter ? L"Still listed, uninstaller gone" : L"Still listed";
    case BatchOutcome::Failed:
        return result.exitCode ? L"Failed (exit code " + std::to_wstring(*result.exitCode) + L")" : L"Failed";
    case BatchOutcome::Skipped: return L"Skipped";
    case BatchOutcome::TimedOut: return L"Still running";
    case BatchOutcome::NotRun: return L"Not run";
    case BatchOutcome::WouldRun: return L"Would run";
    }
    return L"";
}

BatchReport BatchReportOf(const std::vector<std::wstring>& displayNames, const std::vector<BatchResult>& results,
                          const std::vector<bool>& redNow) {
    BatchReport report;
    std::vector<std::wstring> uninstalled, restart, failed, listed, nothingToRun, notRun, leftover;
    for (std::size_t i = 0; i < results.size() && i < displayNames.size(); ++i) {
        const BatchResult& result = results[i];
        const std::wstring& name = displayNames[i];
        switch (result.outcome) {
        case BatchOutcome::Uninstalled: uninstalled.push_back(name); break;
        case BatchOutcome::RestartNeeded: restart.push_back(name); break;
        case BatchOutcome::Failed: failed.push_back(WithReason(name, result.reason)); break;
        case BatchOutcome::StillListed: (result.command.empty() ? nothingToRun : listed).push_back(name); break;
        case BatchOutcome::TimedOut: failed.push_back(WithReason(name, result.reason)); break;
        case BatchOutcome::Skipped:
        case BatchOutcome::NotRun:
        case BatchOutcome::WouldRun: notRun.push_back(WithReason(name, result.reason)); break;
        }
        const bool ended = result.outcome == BatchOutcome::StillListed || result.outcome == BatchOutcome::Failed;
        if (ended && i < redNow.size() && redNow[i]) {
            report.leftovers.push_back(i);
            leftover.push_back(name);
        }
    }
    report.anyFailed = !failed.empty();
    AddSection(report.text, Programs(uninstalled.size()) + L" uninstalled:", uninstalled);
    AddSection(report.text, Programs(restart.size()) + L" uninstalled, to be finished when Windows restarts:", restart);
    AddSection(report.text, Programs(failed.size()) + L" not uninstalled:", failed);
    AddSection(report.text, Programs(listed.size()) + L" still listed after the uninstaller ended:", listed);
    AddSection(report.text, Programs(nothingToRun.size()) + L" with no uninstaller left to run:", nothingToRun);
    AddSection(report.text, Programs(notRun.size()) + L" not started:", notRun);
    if (report.text.empty()) report.text = L"Nothing was uninstalled.";
    if (leftover.empty()) return report;
    const bool one = leftover.size() == 1;
    AddSection(report.question,
               one ? L"This program is still listed, and its uninstaller is gone:"
                   : std::to_wstring(leftover.size()) + L" programs are still listed, and their uninstallers are gone:",
               leftover);
    report.question += one ? L"\n\nRemove its entry? It is backed up first, and Restore removed entries brings it back."
                           : L"\n\nRemove their entries? Each is backed up first, and Restore removed entries brings "
                             L"it back.";
    return report;
}
