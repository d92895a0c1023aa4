#include "cli/ConsoleProgram.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "cli/BackupFolder.h"
#include "cli/EntryReport.h"
#include "cli/ExitCode.h"
#include "cli/Usage.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "inventory/BackupKeys.h"
#include "inventory/BackupRestore.h"
#include "inventory/EntryJudgement.h"
#include "inventory/EntryRemoval.h"
#include "inventory/ProgramInventory.h"
#include "registry/UninstallRegistry.h"

namespace {

constexpr wchar_t kNeedsAdministrator[] = L"run from an elevated prompt or as SYSTEM";

struct Listing {
    ProgramInventory inventory;
    std::vector<ListedEntry> entries;
};

// Read and judged as the window does; `listing` stays alive for the rows'
// entry pointers.
void Read(Listing& listing, bool allUsers) {
    listing.inventory.Enumerate(allUsers);
    listing.entries = ListEntries(listing.inventory);
}

ReportRow RowOf(const ListedEntry& listed, const std::wstring& ownSid) {
    const ProgramEntry& entry = *listed.entry;
    ReportRow row;
    row.list = ListName(ListOf(entry));
    row.user = entry.source == EntrySource::OtherUser ? entry.userSid
               : entry.source == EntrySource::User    ? ownSid
                                                      : L"";
    row.key = entry.keyName;
    row.name = entry.displayName;
    row.publisher = entry.publisher;
    row.version = entry.displayVersion;
    row.installLocation = entry.installLocation;
    row.uninstallString = entry.uninstallString;
    row.quietUninstallString = entry.quietUninstallString;
    row.productCode = entry.productCode;
    row.phantom = listed.phantom;
    row.reason = listed.reason;
    return row;
}

std::vector<ReportRow> Rows(const Listing& listing, bool phantomsOnly) {
    const std::wstring ownSid = fw::RunningUserSid();
    std::vector<ReportRow> rows;
    for (const ListedEntry& listed : listing.entries)
        if (listed.phantom || !phantomsOnly) rows.push_back(RowOf(listed, ownSid));
    return rows;
}

std::wstring ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? std::wstring(name, size) : L"";
}

std::wstring NowUtc() {
    SYSTEMTIME t;
    GetSystemTime(&t);
    return IsoUtcTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
}

std::wstring LeftOutNote(std::size_t leftOut) {
    return leftOut == 0 ? L""
                        : L" " + std::to_wstring(leftOut) + L" more entries were not read (the limit is " +
                              std::to_wstring(ProgramInventory::kCapacity) + L").";
}

std::wstring Plural(std::size_t count, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(count) + L" " + (count == 1 ? one : many);
}

// The entry's display name, for the lines that name it.
std::wstring DisplayNameOf(const ListRef& list, const std::wstring& key) {
    const fw::RegKey entry = UninstallRegistry::OpenForReading(
        SourceRoot(list.source), ListKeyPath(list, std::wstring(ProgramInventory::kUninstallPath) + L"\\" + key),
        SourceView(list.source));
    return entry ? UninstallRegistry::ReadTextOrEmpty(entry.get(), L"DisplayName") : L"";
}

void Apply(const RemovalResult& removal, OperationResult& result, fw::AccountRights rights) {
    switch (removal.outcome) {
    case RemovalResult::Outcome::Removed:
        result.outcome = Outcome::Removed;
        result.detail = removal.backupFile;
        return;
    case RemovalResult::Outcome::AlreadyGone: result.outcome = Outcome::AlreadyRemoved; return;
    case RemovalResult::Outcome::BackupFailed: result.outcome = Outcome::BackupFailed; break;
    case RemovalResult::Outcome::Failed: result.outcome = Outcome::Failed; break;
    }
    result.detail = removal.failureText;
    // Refused for want of rights that elevation would give.
    if (removal.error == ERROR_ACCESS_DENIED && !fw::MayChangeMachine(rights)) {
        result.outcome = Outcome::NeedsAdministrator;
        result.detail += std::wstring(L" ") + kNeedsAdministrator + L".";
    }
}

// A whole file's bytes; false with Windows' error when it cannot be read.
bool ReadFileBytes(const std::wstring& path, std::string& bytes, DWORD& error) {
    const fw::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        error = GetLastError();
        return false;
    }
    // A list of entries is small; anything this big is not one.
    if (size.QuadPart > (1 << 26)) {
        error = ERROR_FILE_TOO_LARGE;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
        error = GetLastError();
        return false;
    }
    return true;
}

bool IsMissingFileError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// --result's file, one UTF-8 line per entry, each written as it is known.
class ResultFile {
public:
    explicit ResultFile(const std::wstring& path) {
        if (path.empty()) return;
        file_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) error_ = GetLastError();
    }
    DWORD Error() const { return error_; }
    bool Write(const OperationResult& result) {
        if (!file_) return true;
        const std::string line = fw::ToUtf8(ResultFileLine(result) + L"\r\n");
        DWORD written = 0;
        return WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
               written == line.size();
    }

private:
    fw::FileHandle file_;
    DWORD error_ = ERROR_SUCCESS;
};

}  // namespace

ConsoleProgram::ConsoleProgram()
    : out_(STD_OUTPUT_HANDLE), err_(STD_ERROR_HANDLE), rights_(fw::RunningRights()) {}

int ConsoleProgram::Run(const std::vector<std::wstring>& words) {
    const ParsedCommandLine parsed = ParseCommandLine(words);
    if (!parsed.command) return Usage(parsed.error);
    const CommandLine& command = *parsed.command;
    switch (command.verb) {
    case Verb::List: return List(command);
    case Verb::Check: return Check(command);
    case Verb::Clean: return Clean(command);
    case Verb::Remove: return Remove(command);
    case Verb::Restore: return Restore(command);
    case Verb::Backups: return Backups(command);
    case Verb::Help: break;
    }
    out_.Write(UsageText());
    return kExitDone;
}

int ConsoleProgram::Usage(const std::wstring& error) {
    err_.Line(error);
    return kExitWrongUsage;
}

bool ConsoleProgram::PrepareFolder(BackupFolder& folder) {
    const bool ready = folder.Prepare();
    if (!folder.MadeText().empty()) out_.Line(folder.MadeText());
    return ready;
}

void ConsoleProgram::Report(const OperationResult& result) {
    (IsFailure(result.outcome) ? err_ : out_).Line(ConsoleLine(result));
}

int ConsoleProgram::List(const CommandLine& command) {
    Listing listing;
    Read(listing, command.allUsers);
    const std::vector<ReportRow> rows = Rows(listing, command.phantomsOnly);
    const std::size_t leftOut = listing.inventory.LeftOut();
    switch (command.format) {
    case ReportFormat::Json: out_.Write(JsonReport({ComputerName(), NowUtc(), leftOut}, rows)); break;
    case ReportFormat::Csv: {
        const std::wstring csv = CsvReport(rows);
        // The byte-order mark tells a file's readers it is UTF-8; a console
        // would only show it.
        out_.Write(out_.IsConsole() ? std::wstring_view(csv).substr(1) : std::wstring_view(csv));
        if (leftOut > 0) err_.Line(LeftOutNote(leftOut).substr(1));
        break;
    }
    case ReportFormat::Text: {
        out_.Write(TextTable(rows));
        const std::size_t phantoms = static_cast<std::size_t>(
            std::count_if(rows.begin(), rows.end(), [](const ReportRow& row) { return row.phantom; }));
        out_.Line(Plural(rows.size(), L"entry", L"entries") + L" listed, " +
                  Plural(phantoms, L"phantom", L"phantoms") + L"." + LeftOutNote(leftOut));
        break;
    }
    }
    return kExitDone;
}

int ConsoleProgram::Check(const CommandLine& command) {
    Listing listing;
    Read(listing, command.allUsers);
    const std::vector<ReportRow> phantoms = Rows(listing, true);
    out_.Write(TextTable(phantoms));
    const std::wstring among = L" among " + Plural(listing.entries.size(), L"entry", L"entries") + L" listed." +
                               LeftOutNote(listing.inventory.LeftOut());
    if (phantoms.empty()) {
        out_.Line(L"No phantom entries" + among);
        return kExitDone;
    }
    out_.Line(Plural(phantoms.size(), L"phantom entry", L"phantom entries") + among);
    return kExitPhantomsFound;
}

int ConsoleProgram::Clean(const CommandLine& command) {
    BackupFolder folder(command.backups, rights_);
    Listing listing;
    Read(listing, command.allUsers);
    std::vector<OperationResult> results;
    bool folderReady = command.dryRun;
    for (const ListedEntry& listed : listing.entries) {
        if (!listed.phantom) continue;
        const ProgramEntry& entry = *listed.entry;
        OperationResult result{ListName(ListOf(entry)), entry.keyName, entry.displayName, Outcome::Failed, L""};
        if (NeedsAdministrator(ListOf(entry), rights_)) {
            result.outcome = Outcome::NeedsAdministrator;
            result.detail = kNeedsAdministrator;
        } else if (command.dryRun) {
            result.outcome = Outcome::WouldRemove;
            result.detail = listed.reason;
        } else if (!folderReady && !(folderReady = PrepareFolder(folder))) {
            err_.Line(folder.FailureText() + L" Nothing was removed.");
            return kExitSomeFailed;
        } else {
            Apply(RemoveEntry(ListOf(entry), entry.keyName, folder.Path()), result, rights_);
        }
        Report(result);
        results.push_back(std::move(result));
    }
    out_.Line(RemovalSummary(results, L"phantom entries", folder.Path()));
    return ExitCodeOf(results);
}

int ConsoleProgram::Remove(const CommandLine& command) {
    std::vector<EntryTarget> targets = command.targets;
    if (!command.from.empty()) {
        std::string bytes;
        std::wstring text;
        DWORD error = ERROR_SUCCESS;
        if (!ReadFileBytes(command.from, bytes, error)) {
            err_.Line(command.from + L": " + fw::SystemErrorText(error));
            return IsMissingFileError(error) ? kExitNotFound : kExitSomeFailed;
        }
        if (!fw::FromUtf8(bytes, text)) return Usage(command.from + L" is not UTF-8 text");
        TargetLines lines = ParseTargetLines(text);
        if (!lines.error.empty()) return Usage(command.from + L": " + lines.error);
        if (lines.targets.empty()) return Usage(command.from + L" names no entry");
        targets = std::move(lines.targets);
    }
    ResultFile resultFile(command.result);
    if (resultFile.Error() != ERROR_SUCCESS) {
        err_.Line(command.result + L": " + fw::SystemErrorText(resultFile.Error()) + L" Nothing was removed.");
        return IsMissingFileError(resultFile.Error()) ? kExitNotFound : kExitSomeFailed;
    }

    // Which entries are there is settled before the first removal: one
    // that goes meanwhile (named twice, or removed by another run) is
    // "already removed", not "no such entry".
    std::vector<std::optional<ListRef>> lists;
    std::vector<bool> there;
    for (const EntryTarget& target : targets) {
        lists.push_back(ParseListName(target.list));
        there.push_back(lists.back() && EntryExists(*lists.back(), target.key));
    }

    BackupFolder folder(command.backups, rights_);
    bool folderReady = false;
    std::vector<OperationResult> results;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::optional<ListRef>& list = lists[i];
        OperationResult result{targets[i].list, targets[i].key, L"", Outcome::NotFound, L""};
        if (!list) {
            result.detail = L"this computer has no such list";
        } else if (!there[i]) {
            result.detail = L"no such entry";
        } else if (result.name = DisplayNameOf(*list, result.key); NeedsAdministrator(*list, rights_)) {
            result.outcome = Outcome::NeedsAdministrator;
            result.detail = kNeedsAdministrator;
        } else if (!folderReady && !(folderReady = PrepareFolder(folder))) {
            result.outcome = Outcome::BackupFailed;
            result.detail = folder.FailureText();
        } else {
            Apply(RemoveEntry(*list, result.key, folder.Path()), result, rights_);
        }
        Report(result);
        if (!resultFile.Write(result)) err_.Line(command.result + L": " + fw::SystemErrorText(GetLastError()));
        results.push_back(std::move(result));
    }
    out_.Line(RemovalSummary(results, L"entries", folder.Path()));
    return ExitCodeOf(results);
}

int ConsoleProgram::Restore(const CommandLine& command) {
    // An entry replaced is backed up where this account's removals go (as
    // SYSTEM, the folder only administrators may enter), or to --backups.
    BackupFolder folder(command.backups, rights_);
    ResultFile resultFile(command.result);
    if (resultFile.Error() != ERROR_SUCCESS) {
        err_.Line(command.result + L": " + fw::SystemErrorText(resultFile.Error()) + L" Nothing was restored.");
        return IsMissingFileError(resultFile.Error()) ? kExitNotFound : kExitSomeFailed;
    }
    bool folderReady = false;
    std::vector<OperationResult> results;
    for (const std::wstring& file : command.files) {
        OperationResult result{L"", file, L"", Outcome::Failed, L""};
        const BackupRestore::Inspection inspection = BackupRestore::Inspect(file);
        const std::optional<ListRef> list =
            inspection.verdict == BackupRestore::Inspection::Verdict::Backup
                ? ParseListName(std::wstring(fw::AsWide(ListNameOfRoot(inspection.entry.listRoot,
                                                                        BackupRestore::SystemIs64Bit()))))
                : std::nullopt;
        if (list) {
            result.list = ListName(*list);
            result.name = std::wstring(fw::AsWide(inspection.entry.displayName));
        }
        if (list && NeedsAdministrator(*list, rights_)) {
            // Not tried: the machine's lists and other users' are not ours to change.
            result.outcome = Outcome::NeedsAdministrator;
            result.detail = kNeedsAdministrator;
        } else if (command.replace && !folderReady && !(folderReady = PrepareFolder(folder))) {
            result.detail = folder.FailureText() + L" Nothing was restored.";
        } else {
            const BackupRestore::Result restored = BackupRestore::Restore(file, command.replace, folder.Path());
            switch (restored.outcome) {
            case BackupRestore::Outcome::Restored:
                result.outcome = Outcome::Restored;
                result.detail = file;
                break;
            case BackupRestore::Outcome::Exists: result.outcome = Outcome::Exists; break;
            case BackupRestore::Outcome::NotABackup: result.outcome = Outcome::NotABackup; break;
            case BackupRestore::Outcome::FileMissing: result.outcome = Outcome::NotFound; break;
            default: result.outcome = Outcome::Failed; break;
            }
            if (result.outcome != Outcome::Restored) result.detail = restored.reason;
            if (result.outcome == Outcome::Exists) result.detail += L" Add --replace to overwrite it.";
        }
        Report(result);
        if (!resultFile.Write(result)) err_.Line(command.result + L": " + fw::SystemErrorText(GetLastError()));
        results.push_back(std::move(result));
    }
    std::size_t restored = 0;
    for (const OperationResult& result : results) restored += result.outcome == Outcome::Restored;
    out_.Line(L"Restored " + std::to_wstring(restored) + L" of " + std::to_wstring(results.size()) + L" backups.");
    return ExitCodeOf(results);
}

int ConsoleProgram::Backups(const CommandLine& command) {
    BackupFolder folder(command.backups, rights_);
    const BackupRestore::Listing listing = BackupRestore::ListBackups(folder.Path());
    if (listing.error != ERROR_SUCCESS) {
        err_.Line(folder.Path() + L": " + fw::SystemErrorText(listing.error));
        return kExitSomeFailed;
    }
    for (const BackupRestore::ListedBackup& backup : listing.backups) {
        const std::u16string list = ListNameOfRoot(backup.entry.listRoot, BackupRestore::SystemIs64Bit());
        std::wstring line = backup.file + L"\t" + std::wstring(fw::AsWide(list)) + L"\t" +
                            std::wstring(fw::AsWide(backup.entry.keyName));
        if (!backup.entry.displayName.empty()) line += L"\t" + std::wstring(fw::AsWide(backup.entry.displayName));
        out_.Line(line);
    }
    std::wstring summary = Plural(listing.backups.size(), L"backup", L"backups") + L" in " + folder.Path();
    if (listing.skipped) summary += L" (" + std::to_wstring(listing.skipped) + L" other .reg files passed over)";
    out_.Line(summary + L".");
    return kExitDone;
}
