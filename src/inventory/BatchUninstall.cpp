#include "inventory/BatchUninstall.h"

#include "BuildConfig.h"
#include "framework/AdminNamespace.h"
#include "framework/ProcessTree.h"
#include "framework/RegistryKey.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "inventory/EntryRemoval.h"
#include "inventory/EntryValidation.h"
#include "inventory/InstallerCommand.h"
#include "inventory/UninstallCommand.h"

namespace {

// Held while an uninstaller runs; shared by every session, as the removal
// lock is (EntryRemoval.cpp).
constexpr const wchar_t* kUninstallLockName = L"uninstall";
constexpr DWORD kPollMs = 50;

class UninstallLock {
public:
    UninstallLock() : mutex_(CreateMutexW(nullptr, FALSE, names_.ObjectName(kUninstallLockName).c_str())) {}
    ~UninstallLock() {
        if (held_) ReleaseMutex(mutex_.get());
    }
    UninstallLock(const UninstallLock&) = delete;
    UninstallLock& operator=(const UninstallLock&) = delete;

    // Waits for another run's uninstaller to end, up to `timeoutMs`. A lock
    // that cannot be made at all does not stop the uninstall.
    bool Take(DWORD timeoutMs, BatchProgress& progress) {
        if (!mutex_) return true;
        const ULONGLONG start = GetTickCount64();
        for (;;) {
            const DWORD wait = WaitForSingleObject(mutex_.get(), 0);
            if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return held_ = true;
            if (wait != WAIT_TIMEOUT) return true;
            if (GetTickCount64() - start >= timeoutMs) return false;
            progress.Wait(kPollMs);
        }
    }

private:
    const fw::AdminNamespace names_{L"" ZALTROW_PRODUCT_NAME};
    fw::KernelHandle mutex_;
    bool held_ = false;
};

bool RunsMsiexec(const std::wstring& file) {
    std::wstring name = AsciiLowerCopy(file);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    for (std::wstring_view program : installer_command::kPrograms)
        if (name == program) return true;
    return false;
}

// Windows Installer's codes are Windows' own, with its words; any other
// program's code means what its maker says, so only the number is given.
std::wstring ExitText(DWORD code, const std::wstring& file) {
    std::wstring text = L"The uninstaller ended with exit code " + std::to_wstring(code) + L".";
    if (RunsMsiexec(file)) text += L" " + fw::SystemErrorText(code);
    return text;
}

void RemoveLeftOver(const BatchItem& item, const BatchOptions& options, BatchResult& result) {
    if (!options.removeIfPhantom || options.dryRun || !result.phantomAfter) return;
    const RemovalResult removal = RemoveEntry(ListOf(item.entry), item.entry.keyName, options.backupFolder);
    if (removal.outcome == RemovalResult::RemovalOutcome::Removed) {
        result.removed = true;
        result.backupFile = removal.backupFile;
    } else if (removal.outcome == RemovalResult::RemovalOutcome::AlreadyGone) {
        result.outcome = BatchOutcome::Uninstalled;
    } else {
        result.reason += (result.reason.empty() ? L"" : L" ") + std::wstring(L"Not removed: ") + removal.failureText;
    }
}

// Runs one entry's uninstaller to its end (or its time).
BatchResult RunOne(std::size_t index, const BatchItem& item, const BatchOptions& options, BatchProgress& progress,
                   bool& stop) {
    BatchResult result;
    if (item.phantom) {
        // Its uninstaller is gone already: nothing to run, the entry is left.
        result.outcome = options.dryRun ? BatchOutcome::WouldRun : BatchOutcome::StillListed;
        result.phantomAfter = true;
        result.reason = item.reason;
        RemoveLeftOver(item, options, result);
        return result;
    }
    const std::optional<PlannedRun> plan = PlanOf(item, options);
    if (!plan) {
        result.outcome = BatchOutcome::Skipped;
        result.reason = L"No quiet uninstall is known for it.";
        return result;
    }
    result.command = plan->command;
    result.quiet = plan->quiet;
    if (options.dryRun) {
        result.outcome = BatchOutcome::WouldRun;
        return result;
    }
    const ListRef list = ListOf(item.entry);
    if (!EntryExists(list, item.entry.keyName)) {
        result.outcome = BatchOutcome::Uninstalled;
        result.command.clear();
        result.reason = L"It was no longer listed; nothing was run.";
        return result;
    }
    UninstallLock lock;
    if (!lock.Take(options.timeoutMs, progress)) {
        result.outcome = BatchOutcome::TimedOut;
        result.reason = L"Another uninstall started by this program was still running.";
        stop = true;
        return result;
    }
    fw::ProcessTree uninstaller;
    if (const DWORD error = uninstaller.Start(plan->file, plan->args)) {
        result.outcome = BatchOutcome::Failed;
        result.reason = L"It could not be started: " + fw::SystemErrorText(error);
        return result;
    }
    progress.Started(index, result.command, result.quiet);
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        uninstaller.Watch();
        if (uninstaller.Ended()) break;
        if (GetTickCount64() - start >= options.timeoutMs) {
            result.outcome = BatchOutcome::TimedOut;
            result.reason = L"It was still running after " + std::to_wstring(options.timeoutMinutes) +
                            (options.timeoutMinutes == 1 ? L" minute" : L" minutes") + L" and was left running.";
            stop = true;
            return result;
        }
        progress.Wait(kPollMs);
    }
    result.exitCode = uninstaller.ExitCode();
    const DWORD code = result.exitCode.value_or(0);
    if (IsRestartCode(code)) {
        result.outcome = BatchOutcome::RestartNeeded;
    } else if (!EntryExists(list, item.entry.keyName)) {
        result.outcome = BatchOutcome::Uninstalled;
    } else {
        // Still listed: with its uninstaller gone it is a phantom now, the
        // uninstaller's own code aside (one that deleted itself and then
        // failed leaves nothing that could run again).
        const UninstallTarget now = ResolveUninstaller(item.entry);
        result.phantomAfter = now.phantom;
        if (code != 0) {
            result.outcome = BatchOutcome::Failed;
            result.reason = ExitText(code, plan->file);
        } else {
            result.outcome = BatchOutcome::StillListed;
            result.reason = now.phantom ? now.reason : L"It is still listed.";
        }
        RemoveLeftOver(item, options, result);
    }
    return result;
}

}  // namespace

std::optional<PlannedRun> PlanOf(const BatchItem& item, const BatchOptions& options) {
    if (options.quiet && item.quiet.basis != quiet_uninstall::Basis::None)
        return PlannedRun{item.quiet.file, item.quiet.args, item.quiet.command, true};
    if (options.quietOnly) return std::nullopt;
    return PlannedRun{item.file, item.args, quiet_uninstall::CommandLineText(item.file, item.args), false};
}

namespace {

// `askFirst`: the batch is the rest of a larger one, so even its first
// entry waits for GoOn.
std::vector<BatchResult> RunAll(const std::vector<BatchItem>& items, const BatchOptions& options,
                                BatchProgress& progress, bool askFirst) {
    std::vector<BatchResult> results;
    bool stop = false;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!stop && (i > 0 || askFirst) && !options.dryRun && !progress.GoOn()) stop = true;
        BatchResult result;
        if (stop)
            result.reason = L"The batch stopped before it.";
        else
            result = RunOne(i, items[i], options, progress, stop);
        progress.Ended(i, result);
        results.push_back(std::move(result));
    }
    return results;
}

}  // namespace

std::vector<BatchResult> UninstallBatch(const std::vector<BatchItem>& items, const BatchOptions& options,
                                        BatchProgress& progress) {
    return RunAll(items, options, progress, false);
}

namespace {

BatchOutcome FromOutcome(OperationOutcome outcome) {
    switch (outcome) {
    case OperationOutcome::Uninstalled:
    case OperationOutcome::NotFound: return BatchOutcome::Uninstalled;
    case OperationOutcome::RestartNeeded: return BatchOutcome::RestartNeeded;
    case OperationOutcome::StillListed: return BatchOutcome::StillListed;
    case OperationOutcome::Skipped: return BatchOutcome::Skipped;
    case OperationOutcome::TimedOut: return BatchOutcome::TimedOut;
    case OperationOutcome::NotRun: return BatchOutcome::NotRun;
    case OperationOutcome::WouldUninstall: return BatchOutcome::WouldRun;
    default: return BatchOutcome::Failed;
    }
}

// What the elevated step's line says of an entry; a line it never wrote
// is a failure, since the elevated run ended without a word of it.
BatchResult FromHandOff(const OperationResult* line, DWORD exitCode) {
    BatchResult result;
    if (!line) {
        result.outcome = BatchOutcome::Failed;
        result.reason = L"The elevated " ZALTROW_CONSOLE_FILE L" said nothing of this entry (exit code " +
                        std::to_wstring(exitCode) + L").";
        return result;
    }
    result.outcome = FromOutcome(line->outcome);
    result.reason = line->detail;
    if (line->uninstall) {
        result.command = line->uninstall->command;
        result.quiet = line->uninstall->quiet;
        if (line->uninstall->exitCode) result.exitCode = *line->uninstall->exitCode;
        result.backupFile = line->uninstall->backupFile;
        result.removed = !result.backupFile.empty();
        result.phantomAfter = result.removed;
    }
    return result;
}

}  // namespace

bool RunsElevated(const BatchItem& item, const BatchOptions& options, fw::AccountRights rights) {
    if (item.phantom || !NeedsAdministrator(ListOf(item.entry), rights)) return false;
    const std::optional<PlannedRun> plan = PlanOf(item, options);
    return plan && plan->quiet;
}

std::vector<BatchResult> UninstallEntries(const std::vector<BatchItem>& items, const BatchOptions& options,
                                          BatchProgress& progress, fw::AccountRights rights,
                                          const ElevatedUninstaller& elevated) {
    std::vector<BatchResult> results(items.size());
    std::vector<std::size_t> handedAt;
    std::vector<BatchItem> here;
    std::vector<std::size_t> hereAt;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (RunsElevated(items[i], options, rights)) {
            handedAt.push_back(i);
        } else {
            here.push_back(items[i]);
            hereAt.push_back(i);
        }
    }
    if (!handedAt.empty()) {
        std::vector<ProgramEntry> handed;
        for (std::size_t i : handedAt) handed.push_back(items[i].entry);
        const auto placeOf = [&](const OperationResult& line) -> std::optional<std::size_t> {
            for (std::size_t i : handedAt)
                if (line.list == ListName(ListOf(items[i].entry)) &&
                    fw::FoldedKeyName(line.key) == fw::FoldedKeyName(items[i].entry.keyName))
                    return i;
            return std::nullopt;
        };
        // The step runs the entries in the order handed, one after another:
        // a line that arrives ends one and starts the next.
        std::vector<bool> said(items.size(), false);
        const auto startNext = [&] {
            for (std::size_t i : handedAt)
                if (!said[i]) return progress.Started(i, items[i].quiet.command, true);
        };
        startNext();
        bool stopping = false;
        const ElevatedHandOff::HandOffOutcome handOff = elevated(
            handed,
            [&](const OperationResult& line) {
                const std::optional<std::size_t> at = placeOf(line);
                if (!at || said[*at]) return;
                said[*at] = true;
                results[*at] = FromHandOff(&line, 0);
                progress.Ended(*at, results[*at]);
                if (!stopping) startNext();
            },
            [&] { return stopping = stopping || !progress.GoOn(); });
        if (handOff.error != ERROR_SUCCESS) {
            for (std::size_t i = 0; i < results.size(); ++i) {
                results[i] = BatchResult{};
                results[i].reason = ElevatedHandOff::NotDoneText(handOff.error, L"uninstalled");
                progress.Ended(i, results[i]);
            }
            return results;
        }
        for (std::size_t i : handedAt) {
            const OperationResult* found = nullptr;
            for (const OperationResult& line : handOff.results)
                if (placeOf(line) == i) found = &line;
            results[i] = FromHandOff(found, handOff.exitCode);
            if (!said[i]) progress.Ended(i, results[i]);
        }
    }
    // Progress speaks of the entries by their place among all of them.
    class Placed final : public BatchProgress {
    public:
        Placed(BatchProgress& inner, const std::vector<std::size_t>& at) : inner_(inner), at_(at) {}
        void Started(std::size_t index, const std::wstring& command, bool quiet) override {
            inner_.Started(at_[index], command, quiet);
        }
        void Ended(std::size_t index, const BatchResult& result) override { inner_.Ended(at_[index], result); }
        void Wait(DWORD milliseconds) override { inner_.Wait(milliseconds); }
        bool GoOn() override { return inner_.GoOn(); }

    private:
        BatchProgress& inner_;
        const std::vector<std::size_t>& at_;
    } placed(progress, hereAt);
    // After the elevated step the user may have asked to stop already.
    std::vector<BatchResult> ran = RunAll(here, options, placed, !handedAt.empty());
    for (std::size_t i = 0; i < ran.size(); ++i) results[hereAt[i]] = std::move(ran[i]);
    return results;
}
