#include "cli/ConsoleProgram.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "BuildConfig.h"
#include "cli/BackupFolder.h"
#include "inventory/EntryReport.h"
#include "cli/ExitCode.h"
#include "cli/Usage.h"
#include "framework/RegistryKey.h"
#include "framework/RunningAccount.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "inventory/BackupKeys.h"
#include "inventory/BackupRestore.h"
#include "inventory/EntryBackup.h"
#include "inventory/BatchUninstall.h"
#include "inventory/EntryJudgement.h"
#include "inventory/EntryRemoval.h"
#include "inventory/HtmlReport.h"
#include "inventory/NameOrder.h"
#include "inventory/ProgramInventory.h"
#include "inventory/ReportHeading.h"
#include "inventory/ResultLine.h"
#include "inventory/SearchText.h"
#include "inventory/UninstallerProbe.h"
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

// The entries --match and --publisher leave, by the search box's rule;
// every entry when neither is given.
bool Chosen(const ProgramEntry& entry, const CommandLine& command) {
    return search_text::Matches({entry.displayName, entry.publisher, entry.keyName, entry.uninstallString}, command.match) &&
           search_text::Contains(entry.publisher, command.publisher);
}

std::vector<ReportRow> Rows(const Listing& listing, bool phantomsOnly, const CommandLine& command) {
    const std::wstring ownSid = fw::RunningUserSid();
    std::vector<ReportRow> rows;
    for (const ListedEntry& listed : listing.entries)
        if ((listed.phantom || !phantomsOnly) && Chosen(*listed.entry, command))
            rows.push_back(FactsOf(*listed.entry, listed.phantom, listed.reason,
                                   QuietUninstallOf(*listed.entry, listed.file, listed.args), ownSid));
    return rows;
}

ReportHeader HeaderOf(const ProgramInventory* inventory) { return ReadReportHeading(inventory); }

// The text table, for people, sorts its rows by name as the window does;
// JSON and CSV keep the lists' order that scripts may compare.
std::wstring SortedTextTable(std::vector<ReportRow> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const ReportRow& a, const ReportRow& b) {
        return name_order::Compare(a.displayName, b.displayName) < 0;
    });
    return TextTable(rows);
}

// The sentence after a count when lists were not read whole.
std::wstring ShortfallNote(const ProgramInventory& inventory) {
    if (inventory.Shortfalls().empty()) return L"";
    return L" Not read: " +
           ProgramInventory::ShortfallText(inventory.Shortfalls(), ProgramInventory::ListNames::CommandLine) + L".";
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
    if (!removal.keyName.empty()) result.key = removal.keyName;
    switch (removal.outcome) {
    case RemovalResult::RemovalOutcome::Removed:
        result.outcome = OperationOutcome::Removed;
        result.detail = removal.backupFile;
        return;
    case RemovalResult::RemovalOutcome::AlreadyGone: result.outcome = OperationOutcome::AlreadyRemoved; return;
    case RemovalResult::RemovalOutcome::BackupFailed: result.outcome = OperationOutcome::BackupFailed; break;
    case RemovalResult::RemovalOutcome::Failed:
    case RemovalResult::RemovalOutcome::Refused: result.outcome = OperationOutcome::Failed; break;
    }
    result.detail = removal.failureText;
    // Refused for want of rights that elevation would give.
    if (removal.error == ERROR_ACCESS_DENIED && !fw::MayChangeMachine(rights)) {
        result.outcome = OperationOutcome::NeedsAdministrator;
        result.detail += std::wstring(L" ") + kNeedsAdministrator + L".";
    }
}

fw::FileHandle BorrowedFile(const ResultHandle& lent, DWORD& error);

// A whole file's bytes; false with Windows' error when it cannot be read.
// The hand-off lends its list as a handle (ResultHandleArgument), read
// from its start: no path the user could swap after the consent prompt.
// A lent file is handed back through `kept` once read, where asked.
bool ReadFileBytes(const std::wstring& path, std::string& bytes, DWORD& error, fw::FileHandle* kept = nullptr) {
    fw::FileHandle file;
    if (const std::optional<ResultHandle> lent = ParseResultHandleArgument(path)) {
        file = BorrowedFile(*lent, error);
        LARGE_INTEGER start{};
        if (!file) return false;
        if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) file.reset();
    } else {
        file.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    }
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
    if (kept && ParseResultHandleArgument(path)) *kept = std::move(file);
    return true;
}

// A text file as Windows' own tools write it: UTF-16LE behind its
// byte-order mark (Windows PowerShell's default), or UTF-8 with or without
// one. False for anything else.
bool DecodeTextFile(const std::string& bytes, std::wstring& text) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0) return false;
        text.resize(bytes.size() / 2 - 1);
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return true;
    }
    return fw::FromUtf8(bytes, text);
}

bool IsMissingFileError(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// A path as the system resolves it from the current folder, so what the
// output names can be found again from anywhere.
std::wstring FullPath(const std::wstring& path) {
    if (path.empty()) return path;
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

DWORD ParentProcessId() {
    const fw::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));  // empty: INVALID_HANDLE_VALUE
    if (!snapshot) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
    return 0;
}

// The file the process that started this one opened for the results
// (ResultHandleArgument): an elevated run writes through the user's own
// handle, so nothing it writes goes where the user could not. Only the
// parent may lend it (Windows makes the process that asked for elevation
// the parent), and only a file on a disk.
fw::FileHandle BorrowedFile(const ResultHandle& lent, DWORD& error) {
    error = ERROR_ACCESS_DENIED;
    if (lent.process == 0 || lent.process != ParentProcessId()) return {};
    const fw::KernelHandle owner(OpenProcess(PROCESS_DUP_HANDLE, FALSE, lent.process));
    HANDLE copy = nullptr;
    if (!owner || !DuplicateHandle(owner.get(), reinterpret_cast<HANDLE>(lent.handle), GetCurrentProcess(), &copy, 0,
                                   FALSE, DUPLICATE_SAME_ACCESS)) {
        error = GetLastError();
        return {};
    }
    fw::FileHandle file(copy);
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        error = ERROR_INVALID_HANDLE;
        return {};
    }
    error = ERROR_SUCCESS;
    return file;
}

// --result's file, one UTF-8 line per entry, each written as it is known.
// Made, and shown to take writing, before anything changes: a run that
// could not report what it did changes nothing.
class ResultFile {
public:
    explicit ResultFile(const std::wstring& path) {
        if (path.empty()) return;
        if (const std::optional<ResultHandle> lent = ParseResultHandleArgument(path)) {
            file_ = BorrowedFile(*lent, error_);
        } else {
            file_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file_) error_ = GetLastError();
        }
        if (!file_) {
            if (error_ == ERROR_SUCCESS) error_ = ERROR_INVALID_HANDLE;
            return;
        }
        // A line end that the reader passes over, then taken back: a full
        // disk or a device that takes nothing refuses it here.
        DWORD written = 0;
        if (!WriteFile(file_.get(), "\r\n", 2, &written, nullptr) || written != 2 || !FlushFileBuffers(file_.get())) {
            error_ = GetLastError();
            if (error_ == ERROR_SUCCESS) error_ = ERROR_WRITE_FAULT;
            file_.reset();
            return;
        }
        LARGE_INTEGER start{};
        if (SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN)) SetEndOfFile(file_.get());
    }
    DWORD Error() const { return error_; }
    bool Write(const OperationResult& result) {
        if (!file_) return true;
        const std::string line = fw::ToUtf8(ResultFileLine(result) + L"\r\n");
        DWORD written = 0;
        if (WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
            written == line.size())
            return true;
        error_ = GetLastError();
        if (error_ == ERROR_SUCCESS) error_ = ERROR_WRITE_FAULT;
        return false;
    }

private:
    fw::FileHandle file_;
    DWORD error_ = ERROR_SUCCESS;
};

std::wstring ResultFileFailure(const std::wstring& path, DWORD error, const wchar_t* nothing) {
    return L"The result file " + path + L" cannot be written: " + fw::SystemErrorText(error) + L" Nothing was " +
           nothing + L".";
}

OperationOutcome OutcomeOf(BatchOutcome outcome) {
    switch (outcome) {
    case BatchOutcome::Uninstalled: return OperationOutcome::Uninstalled;
    case BatchOutcome::RestartNeeded: return OperationOutcome::RestartNeeded;
    case BatchOutcome::StillListed: return OperationOutcome::StillListed;
    case BatchOutcome::Skipped: return OperationOutcome::Skipped;
    case BatchOutcome::TimedOut: return OperationOutcome::TimedOut;
    case BatchOutcome::NotRun: return OperationOutcome::NotRun;
    case BatchOutcome::WouldRun: return OperationOutcome::WouldUninstall;
    case BatchOutcome::Failed: break;
    }
    return OperationOutcome::Failed;
}

// The console's side of a batch: a line as each uninstaller starts and as
// each entry ends; a result line that cannot be written stops the batch,
// since what is done could no longer be reported.
class ConsoleProgress final : public BatchProgress {
public:
    std::function<void(std::size_t index, const std::wstring& command, bool quiet)> started;
    std::function<bool(std::size_t index, const BatchResult& result)> ended;
    std::function<bool()> stopAsked;  // by whoever started this run

    void Started(std::size_t index, const std::wstring& command, bool quiet) override { started(index, command, quiet); }
    void Ended(std::size_t index, const BatchResult& result) override {
        if (!ended(index, result)) stop_ = true;
    }
    void Wait(DWORD milliseconds) override { Sleep(milliseconds); }
    bool GoOn() override { return !stop_ && !(stopAsked && stopAsked()); }

private:
    bool stop_ = false;
};

std::wstring TimeText(const std::optional<BackupTime>& time) {
    if (!time) return L"";
    wchar_t text[32];
    swprintf(text, 32, L"%04d-%02d-%02dT%02d:%02d:%02d", time->year, time->month, time->day, time->hour,
             time->minute, time->second);
    return text;
}

}  // namespace

ConsoleProgram::ConsoleProgram()
    : out_(STD_OUTPUT_HANDLE), err_(STD_ERROR_HANDLE), rights_(fw::RunningRights()) {}

int ConsoleProgram::Run(const std::vector<std::wstring>& words) {
    const ParsedCommandLine parsed = ParseCommandLine(words);
    if (!parsed.command) return Finish(Usage(parsed.error));
    CommandLine command = *parsed.command;
    command.backups = FullPath(command.backups);
    if (!ParseResultHandleArgument(command.from)) command.from = FullPath(command.from);
    // The hand-off's own handle is no path.
    if (!ParseResultHandleArgument(command.result)) command.result = FullPath(command.result);
    for (std::wstring& file : command.files) file = FullPath(file);
    switch (command.verb) {
    case Verb::List: return Finish(List(command));
    case Verb::Check: return Finish(Check(command));
    case Verb::Clean: return Finish(Clean(command));
    case Verb::Remove: return Finish(Remove(command));
    case Verb::Restore: return Finish(Restore(command));
    case Verb::Backups: return Finish(Backups(command));
    case Verb::Uninstall: return Finish(Uninstall(command));
    case Verb::Version: return Finish(Version());
    case Verb::Help: break;
    }
    out_.Write(UsageText());
    return Finish(kExitDone);
}

int ConsoleProgram::Finish(int code) {
    if (!out_.Failed() && !err_.Failed()) return code;
    if (out_.Failed())
        err_.Line(L"Standard output could not be written: " + fw::SystemErrorText(out_.FailureError()) +
                  L" What it should have said is lost.");
    return code == kExitNeedsAdministrator ? code : kExitSomeFailed;
}

int ConsoleProgram::Usage(const std::wstring& error) {
    err_.Line(error);
    return kExitWrongUsage;
}

int ConsoleProgram::Version() {
    out_.Line(L"" ZALTROW_PRODUCT_NAME L" " ZALTROW_VERSION_TEXT);
    return kExitDone;
}

int ConsoleProgram::WithShortfalls(int code, const ProgramInventory& inventory) {
    if (inventory.Shortfalls().empty()) return code;
    bool rightsWouldHelp = false;
    for (const ProgramInventory::Shortfall& shortfall : inventory.Shortfalls())
        rightsWouldHelp |= shortfall.error == ERROR_ACCESS_DENIED && !fw::MayChangeMachine(rights_);
    if (rightsWouldHelp || code == kExitNeedsAdministrator) return kExitNeedsAdministrator;
    return kExitSomeFailed;
}

bool ConsoleProgram::PrepareFolder(BackupFolder& folder) {
    const bool ready = folder.Prepare();
    // Said where no machine-readable document is being written.
    if (!folder.MadeText().empty()) err_.Line(folder.MadeText());
    return ready;
}

void ConsoleProgram::Report(const OperationResult& result, bool json) {
    if (IsFailure(result.outcome))
        err_.Line(ConsoleLine(result));
    else if (!json)
        out_.Line(ConsoleLine(result));
}

void ConsoleProgram::WriteOperationJson(const CommandLine& command, const std::vector<OperationResult>& results,
                                        const std::wstring& backupFolder, int exitCode,
                                        const ProgramInventory* inventory) {
    OperationReport report;
    report.verb = command.verb == Verb::Clean ? L"clean" : command.verb == Verb::Remove ? L"remove" : L"restore";
    report.dryRun = command.dryRun;
    report.backupFolder = backupFolder;
    report.exitCode = exitCode;
    for (const OperationResult& result : results) {
        OperationRow row{result.list, result.key, result.name, OutcomeWord(result.outcome), L"", L""};
        if (result.outcome == OperationOutcome::Removed || result.outcome == OperationOutcome::Restored)
            row.backupFile = result.detail;
        else
            row.reason = result.detail;
        report.results.push_back(std::move(row));
    }
    out_.Write(JsonReport(HeaderOf(inventory), report));
}

int ConsoleProgram::List(const CommandLine& command) {
    Listing listing;
    Read(listing, command.allUsers);
    const std::vector<ReportRow> rows = Rows(listing, command.phantomsOnly, command);
    const std::wstring note = ShortfallNote(listing.inventory);
    switch (command.format) {
    case ReportFormat::Json: out_.Write(JsonReport(HeaderOf(&listing.inventory), rows)); break;
    case ReportFormat::Html: out_.Write(HtmlReport(L"" ZALTROW_PRODUCT_NAME, HeaderOf(&listing.inventory), rows)); break;
    case ReportFormat::Csv: {
        const std::wstring csv = CsvReport(rows);
        // The byte-order mark tells a file's readers it is UTF-8; a console
        // would only show it.
        out_.Write(out_.IsConsole() ? std::wstring_view(csv).substr(1) : std::wstring_view(csv));
        break;
    }
    case ReportFormat::Text: {
        out_.Write(SortedTextTable(rows));
        const std::size_t phantoms = static_cast<std::size_t>(
            std::count_if(rows.begin(), rows.end(), [](const ReportRow& row) { return row.Phantom(); }));
        out_.Line(Plural(rows.size(), L"entry", L"entries") + L" listed, " +
                  Plural(phantoms, L"phantom", L"phantoms") + L"." + note);
        break;
    }
    }
    if (!note.empty()) err_.Line(note.substr(1));
    return kExitDone;
}

int ConsoleProgram::Check(const CommandLine& command) {
    Listing listing;
    Read(listing, command.allUsers);
    const std::vector<ReportRow> phantoms = Rows(listing, true, command);
    const int code = WithShortfalls(phantoms.empty() ? kExitDone : kExitPhantomsFound, listing.inventory);
    const std::wstring note = ShortfallNote(listing.inventory);
    if (command.format == ReportFormat::Json) {
        out_.Write(JsonReport(HeaderOf(&listing.inventory), phantoms));
        if (!note.empty()) err_.Line(note.substr(1));
        return code;
    }
    out_.Write(SortedTextTable(phantoms));
    const std::size_t chosen = static_cast<std::size_t>(std::count_if(
        listing.entries.begin(), listing.entries.end(), [&](const ListedEntry& listed) { return Chosen(*listed.entry, command); }));
    const std::wstring among = L" among " + Plural(chosen, L"entry", L"entries") +
                               (command.match.empty() && command.publisher.empty() ? L" listed." : L" chosen.") + note;
    if (phantoms.empty())
        out_.Line((note.empty() ? L"No phantom entries" : L"No phantom entries found") + among);
    else
        out_.Line(Plural(phantoms.size(), L"phantom entry", L"phantom entries") + among);
    if (!note.empty()) err_.Line(note.substr(1));
    return code;
}

int ConsoleProgram::Clean(const CommandLine& command) {
    const bool json = command.format == ReportFormat::Json;
    BackupFolder folder(command.backups, rights_);
    Listing listing;
    Read(listing, command.allUsers);
    std::vector<OperationResult> results;
    bool folderReady = command.dryRun;
    for (const ListedEntry& listed : listing.entries) {
        if (!listed.phantom) continue;
        const ProgramEntry& entry = *listed.entry;
        OperationResult result{ListName(ListOf(entry)), entry.keyName, entry.displayName, OperationOutcome::Failed, L""};
        if (NeedsAdministrator(ListOf(entry), rights_)) {
            result.outcome = OperationOutcome::NeedsAdministrator;
            result.detail = kNeedsAdministrator;
        } else if (command.dryRun) {
            result.outcome = OperationOutcome::WouldRemove;
            result.detail = listed.reason;
        } else if (!folderReady && !(folderReady = PrepareFolder(folder))) {
            err_.Line(folder.FailureText() + L" Nothing was removed.");
            if (json) WriteOperationJson(command, results, folder.Path(), kExitSomeFailed, &listing.inventory);
            return kExitSomeFailed;
        } else {
            Apply(RemoveEntry(ListOf(entry), entry.keyName, folder.Path()), result, rights_);
        }
        Report(result, json);
        results.push_back(std::move(result));
    }
    const int code = WithShortfalls(ExitCodeOf(results), listing.inventory);
    const std::wstring note = ShortfallNote(listing.inventory);
    if (json)
        WriteOperationJson(command, results, folder.Path(), code, &listing.inventory);
    else
        out_.Line(RemovalSummary(results, L"phantom entries", folder.Path(), command.dryRun) + note);
    if (!note.empty()) err_.Line(note.substr(1));
    return code;
}

std::optional<int> ConsoleProgram::ReadTargets(const CommandLine& command, const wchar_t* done,
                                              std::vector<EntryTarget>& targets) {
    targets = command.targets;
    if (command.from.empty()) return std::nullopt;
    const std::wstring nothing = std::wstring(L"nothing was ") + done;
    std::string bytes;
    std::wstring text;
    DWORD error = ERROR_SUCCESS;
    if (!ReadFileBytes(command.from, bytes, error, &lentList_)) {
        err_.Line(command.from + L": the list of entries cannot be read: " + fw::SystemErrorText(error) + L" N" +
                  nothing.substr(1) + L".");
        return IsMissingFileError(error) ? kExitNotFound : kExitSomeFailed;
    }
    if (!DecodeTextFile(bytes, text))
        return Usage(command.from + L" is neither UTF-8 nor UTF-16 text with its byte-order mark; " + nothing);
    TargetLines lines = ParseTargetLines(text);
    if (!lines.error.empty()) return Usage(command.from + L": " + lines.error + L"; " + nothing);
    if (lines.targets.empty()) return Usage(command.from + L" names no entry");
    targets = std::move(lines.targets);
    lentListSize_ = static_cast<LONGLONG>(bytes.size());
    return std::nullopt;
}

bool ConsoleProgram::LentListGrew() const {
    LARGE_INTEGER size{};
    return lentList_ && GetFileSizeEx(lentList_.get(), &size) && size.QuadPart > lentListSize_;
}

int ConsoleProgram::Remove(const CommandLine& command) {
    const bool json = command.format == ReportFormat::Json;
    std::vector<EntryTarget> targets;
    if (const std::optional<int> failed = ReadTargets(command, L"removed", targets)) return *failed;
    ResultFile resultFile(command.result);
    if (resultFile.Error() != ERROR_SUCCESS) {
        err_.Line(ResultFileFailure(command.result, resultFile.Error(), L"removed"));
        return IsMissingFileError(resultFile.Error()) ? kExitNotFound : kExitSomeFailed;
    }

    // Which entries are there, and under which spelling, is settled before
    // the first removal: one that goes meanwhile (named twice, or removed by
    // another run) is "already removed", not "no such entry".
    std::vector<std::optional<ListRef>> lists;
    std::vector<std::wstring> stored;
    for (const EntryTarget& target : targets) {
        lists.push_back(ParseListName(target.list));
        stored.push_back(lists.back() ? StoredEntryKey(*lists.back(), target.key) : L"");
    }

    BackupFolder folder(command.backups, rights_);
    bool folderReady = false, reportLost = false;
    std::vector<OperationResult> results;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::optional<ListRef>& list = lists[i];
        OperationResult result{targets[i].list, stored[i].empty() ? targets[i].key : stored[i], L"", OperationOutcome::NotFound, L""};
        if (!list) {
            result.detail = L"this computer has no such list";
        } else if (stored[i].empty()) {
            result.detail = L"no such entry";
        } else if (result.name = DisplayNameOf(*list, result.key); NeedsAdministrator(*list, rights_)) {
            result.outcome = OperationOutcome::NeedsAdministrator;
            result.detail = kNeedsAdministrator;
        } else if (!folderReady && !(folderReady = PrepareFolder(folder))) {
            result.outcome = OperationOutcome::BackupFailed;
            result.detail = folder.FailureText();
        } else {
            Apply(RemoveEntry(*list, result.key, folder.Path()), result, rights_);
        }
        Report(result, json);
        results.push_back(std::move(result));
        if (!resultFile.Write(results.back())) {
            // What is done can no longer be reported: nothing more is done.
            err_.Line(L"The result file " + command.result + L" cannot be written: " +
                      fw::SystemErrorText(resultFile.Error()) + L" The entries after this one were left as they are.");
            reportLost = true;
            break;
        }
    }
    int code = ExitCodeOf(results);
    if (reportLost && code != kExitNeedsAdministrator) code = kExitSomeFailed;
    if (json)
        WriteOperationJson(command, results, folder.Path(), code, nullptr);
    else
        out_.Line(RemovalSummary(results, L"entries", folder.Path(), false));
    return code;
}

int ConsoleProgram::Uninstall(const CommandLine& command) {
    const bool json = command.format == ReportFormat::Json;
    const bool searched = !command.match.empty() || !command.publisher.empty();
    std::vector<EntryTarget> targets;
    if (const std::optional<int> failed = ReadTargets(command, L"uninstalled", targets)) return *failed;
    bool otherUsers = command.allUsers;
    for (const EntryTarget& target : targets) otherUsers |= target.list.starts_with(L"user:");
    Listing listing;
    Read(listing, otherUsers);

    // The entries asked for, as listed and judged; the rest said at once.
    std::vector<OperationResult> results;
    std::vector<const ListedEntry*> chosen;
    if (searched) {
        for (const ListedEntry& listed : listing.entries) {
            if (Chosen(*listed.entry, command)) chosen.push_back(&listed);
        }
        if (chosen.empty()) {
            err_.Line(L"No listed entry matches; nothing was uninstalled.");
            if (json) out_.Write(JsonReport(HeaderOf(&listing.inventory), UninstallReport{command.dryRun, L"", kExitNotFound, {}}));
            return kExitNotFound;
        }
    }
    for (const EntryTarget& target : targets) {
        const std::optional<ListRef> list = ParseListName(target.list);
        const ListedEntry* found = nullptr;
        for (const ListedEntry& listed : listing.entries)
            if (list && ListOf(*listed.entry) == *list &&
                fw::FoldedKeyName(listed.entry->keyName) == fw::FoldedKeyName(target.key))
                found = &listed;
        if (found) {
            if (std::find(chosen.begin(), chosen.end(), found) == chosen.end()) chosen.push_back(found);
            continue;
        }
        OperationResult result{target.list, target.key, L"", OperationOutcome::NotFound,
                               list ? L"no such entry in the list" : L"this computer has no such list"};
        result.uninstall = UninstallFields{};
        results.push_back(std::move(result));
    }
    std::vector<BatchItem> items;
    std::vector<const ListedEntry*> run;
    for (const ListedEntry* listed : chosen) {
        const ProgramEntry& entry = *listed->entry;
        if (NeedsAdministrator(ListOf(entry), rights_)) {
            OperationResult result{ListName(ListOf(entry)), entry.keyName, entry.displayName,
                                   OperationOutcome::NeedsAdministrator, kNeedsAdministrator};
            result.uninstall = UninstallFields{};
            results.push_back(std::move(result));
            continue;
        }
        items.push_back({entry, listed->file, listed->args, listed->phantom, listed->reason,
                         QuietUninstallOf(entry, listed->file, listed->args)});
        run.push_back(listed);
    }

    ResultFile resultFile(command.result);
    if (resultFile.Error() != ERROR_SUCCESS) {
        err_.Line(ResultFileFailure(command.result, resultFile.Error(), L"uninstalled"));
        return IsMissingFileError(resultFile.Error()) ? kExitNotFound : kExitSomeFailed;
    }
    BackupFolder folder(command.backups, rights_);
    if (command.removeIfPhantom && !command.dryRun && !items.empty() && !PrepareFolder(folder)) {
        err_.Line(folder.FailureText() + L" Nothing was uninstalled.");
        return kExitSomeFailed;
    }
    bool reportLost = false;
    const auto report = [&](const OperationResult& result) {
        Report(result, json);
        if (resultFile.Write(result)) return true;
        if (!reportLost)
            err_.Line(L"The result file " + command.result + L" cannot be written: " +
                      fw::SystemErrorText(resultFile.Error()) + L" No uninstaller after this one was started.");
        reportLost = true;
        return false;
    };
    for (const OperationResult& result : results)
        if (!report(result)) break;

    BatchOptions options;
    options.quiet = options.quietOnly = command.quiet;
    options.removeIfPhantom = command.removeIfPhantom;
    options.dryRun = command.dryRun;
    options.timeoutMinutes = command.timeoutMinutes;
    options.timeoutMs = command.timeoutMinutes * fw::MinuteMilliseconds();
    options.backupFolder = folder.Path();
    ConsoleProgress progress;
    progress.stopAsked = [this] { return LentListGrew(); };
    progress.started = [&](std::size_t index, const std::wstring& started, bool quiet) {
        if (!json)
            out_.Line(OneLine(L"running: " + ListName(ListOf(items[index].entry)) + L"  " + items[index].entry.keyName +
                              L"  " + items[index].entry.displayName + (quiet ? L"  (quietly: " : L"  (with its window: ") +
                              started + L")"));
    };
    progress.ended = [&](std::size_t index, const BatchResult& ended) {
        const ProgramEntry& entry = items[index].entry;
        OperationResult result{ListName(ListOf(entry)), entry.keyName, entry.displayName, OutcomeOf(ended.outcome),
                               ended.reason};
        result.uninstall = UninstallFields{ended.command, ended.quiet, ended.exitCode, ended.backupFile};
        results.push_back(result);
        return report(result);
    };
    if (!reportLost) UninstallBatch(items, options, progress);

    int code = UninstallExitCodeOf(results);
    if (reportLost && code != kExitNeedsAdministrator) code = kExitSomeFailed;
    if (json)
        out_.Write(JsonReport(HeaderOf(&listing.inventory),
                              UninstallReport{command.dryRun, folder.Path(), code, results}));
    else
        out_.Line(UninstallSummary(results, command.dryRun));
    return code;
}

int ConsoleProgram::Restore(const CommandLine& command) {
    const bool json = command.format == ReportFormat::Json;
    // An entry replaced is backed up where this account's removals go (as
    // SYSTEM, the folder only administrators may enter), or to --backups.
    BackupFolder folder(command.backups, rights_);
    ResultFile resultFile(command.result);
    if (resultFile.Error() != ERROR_SUCCESS) {
        err_.Line(ResultFileFailure(command.result, resultFile.Error(), L"restored"));
        return IsMissingFileError(resultFile.Error()) ? kExitNotFound : kExitSomeFailed;
    }
    bool folderReady = false, reportLost = false;
    std::vector<OperationResult> results;
    for (std::size_t index = 0; index < command.files.size(); ++index) {
        const std::wstring& file = command.files[index];
        const std::wstring expected = index < command.sha256s.size() ? command.sha256s[index] : std::wstring();
        OperationResult result{L"", file, L"", OperationOutcome::Failed, L""};
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
            result.outcome = OperationOutcome::NeedsAdministrator;
            result.detail = kNeedsAdministrator;
        } else if (command.replace && !folderReady && !(folderReady = PrepareFolder(folder))) {
            result.detail = folder.FailureText() + L" Nothing was restored.";
        } else {
            const BackupRestore::Result restored =
                BackupRestore::Restore(file, command.replace, folder.Path(), expected);
            switch (restored.outcome) {
            case BackupRestore::RestoreOutcome::Restored:
                result.outcome = OperationOutcome::Restored;
                result.detail = file;
                break;
            case BackupRestore::RestoreOutcome::Exists: result.outcome = OperationOutcome::Exists; break;
            case BackupRestore::RestoreOutcome::NotABackup: result.outcome = OperationOutcome::NotABackup; break;
            case BackupRestore::RestoreOutcome::FileMissing: result.outcome = OperationOutcome::NotFound; break;
            default: result.outcome = OperationOutcome::Failed; break;
            }
            if (result.outcome != OperationOutcome::Restored) result.detail = restored.reason;
            if (result.outcome == OperationOutcome::Exists) result.detail += L" Add --replace to overwrite it.";
        }
        Report(result, json);
        results.push_back(std::move(result));
        if (!resultFile.Write(results.back())) {
            err_.Line(L"The result file " + command.result + L" cannot be written: " +
                      fw::SystemErrorText(resultFile.Error()) + L" The files after this one were left as they are.");
            reportLost = true;
            break;
        }
    }
    int code = ExitCodeOf(results);
    if (reportLost && code != kExitNeedsAdministrator) code = kExitSomeFailed;
    std::size_t restored = 0;
    for (const OperationResult& result : results) restored += result.outcome == OperationOutcome::Restored;
    if (json)
        WriteOperationJson(command, results, folder.Path(), code, nullptr);
    else
        out_.Line(L"Restored " + std::to_wstring(restored) + L" of " + std::to_wstring(results.size()) + L" backups.");
    return code;
}

int ConsoleProgram::Backups(const CommandLine& command) {
    BackupFolder folder(command.backups, rights_);
    if (!command.backups.empty()) {
        const DWORD attributes = GetFileAttributesW(folder.Path().c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            err_.Line(L"There is no such folder: " + folder.Path());
            return kExitNotFound;
        }
    }
    // Without --backups: this account's own and the machine's, where
    // elevated and SYSTEM runs keep theirs.
    const std::vector<std::wstring> folders =
        command.backups.empty() ? ShownBackupFolders(rights_) : std::vector<std::wstring>{folder.Path()};
    const BackupRestore::Listing listing = BackupRestore::ListBackups(folders);
    if (listing.error != ERROR_SUCCESS) {
        err_.Line(L"The backup folder " + listing.unreadFolder + L" cannot be searched: " +
                  fw::SystemErrorText(listing.error));
        return kExitSomeFailed;
    }
    std::vector<BackupRow> rows;
    for (const BackupRestore::ListedBackup& backup : listing.backups)
        rows.push_back({backup.file,
                        std::wstring(fw::AsWide(ListNameOfRoot(backup.entry.listRoot, BackupRestore::SystemIs64Bit()))),
                        std::wstring(fw::AsWide(backup.entry.keyName)),
                        std::wstring(fw::AsWide(backup.entry.displayName)), TimeText(backup.time)});
    if (command.format == ReportFormat::Json) {
        out_.Write(BackupsJson(HeaderOf(nullptr), folder.Path(), folders, listing.skipped, rows));
        return kExitDone;
    }
    if (command.format == ReportFormat::Csv) {
        const std::wstring csv = BackupsCsv(rows);
        out_.Write(out_.IsConsole() ? std::wstring_view(csv).substr(1) : std::wstring_view(csv));
        return kExitDone;
    }
    for (const BackupRow& row : rows) {
        // One line per backup and one tab between fields, whatever a name
        // holds; --json and --csv keep names exactly.
        std::wstring line = OneLine(row.file) + L"\t" + row.list + L"\t" + OneLine(row.key);
        if (!row.name.empty()) line += L"\t" + OneLine(row.name);
        out_.Line(line);
    }
    std::wstring summary = Plural(listing.backups.size(), L"backup", L"backups") + L" in " + folders.front();
    for (std::size_t i = 1; i < folders.size(); ++i) summary += L" and " + folders[i];
    if (listing.skipped) summary += L" (" + std::to_wstring(listing.skipped) + L" other .reg files passed over)";
    out_.Line(summary + L".");
    return kExitDone;
}
