#include "inventory/ResultLine.h"

#include <algorithm>

std::wstring OneLine(std::wstring text) {
    std::replace_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\t' || c == L'\r' || c == L'\n'; }, L' ');
    return text;
}

const wchar_t* OutcomeWord(OperationOutcome outcome) {
    switch (outcome) {
    case OperationOutcome::Removed: return L"removed";
    case OperationOutcome::WouldRemove: return L"would-remove";
    case OperationOutcome::AlreadyRemoved: return L"already-removed";
    case OperationOutcome::Restored: return L"restored";
    case OperationOutcome::NotFound: return L"not-found";
    case OperationOutcome::NeedsAdministrator: return L"needs-administrator";
    case OperationOutcome::Exists: return L"exists";
    case OperationOutcome::NotABackup: return L"not-a-backup";
    case OperationOutcome::BackupFailed: return L"backup-failed";
    case OperationOutcome::Uninstalled: return L"uninstalled";
    case OperationOutcome::RestartNeeded: return L"restart-needed";
    case OperationOutcome::StillListed: return L"still-listed";
    case OperationOutcome::Skipped: return L"skipped";
    case OperationOutcome::TimedOut: return L"timed-out";
    case OperationOutcome::NotRun: return L"not-run";
    case OperationOutcome::WouldUninstall: return L"would-uninstall";
    case OperationOutcome::Failed: break;
    }
    return L"failed";
}

bool IsFailure(OperationOutcome outcome) {
    return outcome != OperationOutcome::Removed && outcome != OperationOutcome::WouldRemove && outcome != OperationOutcome::AlreadyRemoved &&
           outcome != OperationOutcome::Restored && outcome != OperationOutcome::Uninstalled &&
           outcome != OperationOutcome::RestartNeeded && outcome != OperationOutcome::WouldUninstall;
}

namespace {

std::optional<std::uintmax_t> Decimal(std::wstring_view text, std::uintmax_t most);

}  // namespace

std::wstring ResultFileLine(const OperationResult& result) {
    std::wstring line = OneLine(result.list) + L'\t' + OneLine(result.key) + L'\t' + OutcomeWord(result.outcome) +
                        L'\t' + OneLine(result.detail);
    if (const std::optional<UninstallFields>& run = result.uninstall) {
        line += L'\t' + OneLine(result.name) + L'\t' + (run->command.empty() ? L"" : run->quiet ? L"quiet" : L"window") +
                L'\t' + (run->exitCode ? std::to_wstring(*run->exitCode) : L"") + L'\t' + OneLine(run->command) +
                L'\t' + OneLine(run->backupFile);
    }
    return line;
}

std::optional<OperationResult> ParseResultFileLine(std::wstring_view line) {
    constexpr std::size_t kPlain = 4, kUninstall = 9;
    std::wstring fields[kUninstall];
    std::size_t field = 0;
    for (wchar_t c : line) {
        if (c != L'\t') {
            fields[field] += c;
        } else if (++field == kUninstall) {
            return std::nullopt;
        }
    }
    if (field != kPlain - 1 && field != kUninstall - 1) return std::nullopt;
    for (int value = 0; value <= static_cast<int>(OperationOutcome::Failed); ++value) {
        const auto outcome = static_cast<OperationOutcome>(value);
        if (fields[2] != OutcomeWord(outcome)) continue;
        OperationResult result{fields[0], fields[1], L"", outcome, fields[3]};
        if (field == kPlain - 1) return result;
        UninstallFields run;
        run.command = fields[7];
        run.backupFile = fields[8];
        if (fields[5] != (run.command.empty() ? L"" : fields[5] == L"quiet" ? L"quiet" : L"window")) return std::nullopt;
        run.quiet = fields[5] == L"quiet";
        if (!fields[6].empty()) {
            const std::optional<std::uintmax_t> code = Decimal(fields[6], UINT32_MAX);
            if (!code) return std::nullopt;
            run.exitCode = static_cast<std::uint32_t>(*code);
        }
        result.name = fields[4];
        result.uninstall = std::move(run);
        return result;
    }
    return std::nullopt;
}

namespace {

constexpr std::wstring_view kHandlePrefix = L"handle:";

// A decimal number of at most `most`, written as the writer writes it:
// nothing around it, no leading zero.
std::optional<std::uintmax_t> Decimal(std::wstring_view text, std::uintmax_t most) {
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == L'0')) return std::nullopt;
    std::uintmax_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        const std::uintmax_t digit = static_cast<std::uintmax_t>(c - L'0');
        if (value > (most - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::wstring ResultHandleArgument(std::uint32_t process, std::uintptr_t handle) {
    return std::wstring(kHandlePrefix) + std::to_wstring(process) + L":" + std::to_wstring(handle);
}

std::optional<ResultHandle> ParseResultHandleArgument(std::wstring_view text) {
    if (!text.starts_with(kHandlePrefix)) return std::nullopt;
    text.remove_prefix(kHandlePrefix.size());
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos) return std::nullopt;
    const auto process = Decimal(text.substr(0, colon), UINT32_MAX);
    const auto handle = Decimal(text.substr(colon + 1), UINTPTR_MAX);
    if (!process || !handle || *handle == 0) return std::nullopt;
    return ResultHandle{static_cast<std::uint32_t>(*process), static_cast<std::uintptr_t>(*handle)};
}
