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
    case OperationOutcome::Failed: break;
    }
    return L"failed";
}

bool IsFailure(OperationOutcome outcome) {
    return outcome != OperationOutcome::Removed && outcome != OperationOutcome::WouldRemove && outcome != OperationOutcome::AlreadyRemoved &&
           outcome != OperationOutcome::Restored;
}

std::wstring ResultFileLine(const OperationResult& result) {
    return OneLine(result.list) + L'\t' + OneLine(result.key) + L'\t' + OutcomeWord(result.outcome) + L'\t' +
           OneLine(result.detail);
}

std::optional<OperationResult> ParseResultFileLine(std::wstring_view line) {
    std::wstring fields[4];
    std::size_t field = 0;
    for (wchar_t c : line) {
        if (c != L'\t') {
            fields[field] += c;
        } else if (++field == 4) {
            return std::nullopt;
        }
    }
    if (field != 3) return std::nullopt;
    for (int value = 0; value <= static_cast<int>(OperationOutcome::Failed); ++value) {
        const auto outcome = static_cast<OperationOutcome>(value);
        if (fields[2] == OutcomeWord(outcome)) return OperationResult{fields[0], fields[1], L"", outcome, fields[3]};
    }
    return std::nullopt;
}
