#include "inventory/BackupRestore.h"

#include <shlobj.h>

#include <algorithm>

#include "BuildConfig.h"
#include "framework/Sha256.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "framework/Wow64.h"
#include "inventory/EntryBackup.h"
#include "registry/RegFileParser.h"
#include "registry/RegistryImport.h"

namespace {

// Far beyond any entry's backup (every byte of hex data takes six); a
// bigger .reg file is someone's export of much more, and is not read.
constexpr LONGLONG kMaxFileBytes = 64LL << 20;

using Inspection = BackupRestore::Inspection;

Inspection Refused(Inspection::Verdict verdict, std::wstring reason) {
    Inspection inspection;
    inspection.verdict = verdict;
    inspection.reason = std::move(reason);
    return inspection;
}

bool Gone(LONG rc) { return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND; }

bool HasRegExtension(const std::wstring& name) {
    // The search's pattern also matches short names such as X~1.REG of
    // longer extensions.
    return name.size() > 4 && CompareStringOrdinal(name.c_str() + name.size() - 4, 4, L".reg", 4, TRUE) == CSTR_EQUAL;
}

std::uint64_t Ticks(const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

BackupRestore::Inspection BackupRestore::Inspect(const std::wstring& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return Refused(Inspection::Verdict::NotABackup, L"It is a folder.");
    fw::FileHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!handle || !GetFileSizeEx(handle.get(), &size)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Refused(Inspection::Verdict::FileMissing, L"There is no such file.");
        return Refused(Inspection::Verdict::Unreadable, fw::SystemErrorText(error));
    }
    if (size.QuadPart > kMaxFileBytes)
        return Refused(Inspection::Verdict::NotABackup, L"It is far too large for the backup of one entry.");

    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return Refused(Inspection::Verdict::Unreadable, fw::SystemErrorText(GetLastError()));
    bytes.resize(read);

    reg_file::ParseResult parsed = reg_file::ParseFile(bytes);
    if (!parsed.ok) return Refused(Inspection::Verdict::NotABackup, fw::WideCopy(parsed.reason));
    if (const std::u16string cut = BackupCountProblem(parsed.comments, parsed.keys); !cut.empty())
        return Refused(Inspection::Verdict::NotABackup, fw::WideCopy(cut));
    std::u16string reason;
    std::optional<BackupEntry> entry = EntryOfBackupKeys(parsed.keys, reason);
    if (!entry) return Refused(Inspection::Verdict::NotABackup, fw::WideCopy(reason));

    Inspection inspection;
    inspection.verdict = Inspection::Verdict::Backup;
    inspection.entry = std::move(*entry);
    inspection.keys = std::move(parsed.keys);
    inspection.sha256 = fw::Sha256Hex(bytes);
    return inspection;
}

BackupRestore::Result BackupRestore::Restore(const std::wstring& file, bool replace,
                                             const std::wstring& backupFolder, const std::wstring& expectedSha256) {
    Inspection inspection = Inspect(file);
    Result result;
    result.reason = inspection.reason;
    result.entry = inspection.entry;
    // Judged from the bytes read once, which must be the ones shown: a file
    // swapped since (by anyone who may write there) restores nothing.
    if (inspection.verdict == Inspection::Verdict::Backup && !expectedSha256.empty() &&
        CompareStringOrdinal(inspection.sha256.c_str(), -1, expectedSha256.c_str(), -1, TRUE) != CSTR_EQUAL) {
        result.outcome = RestoreOutcome::NotABackup;
        result.reason = L"The file has changed since it was shown (its SHA-256 is " + inspection.sha256 +
                        L", not " + expectedSha256 + L"); nothing of it was restored.";
        return result;
    }
    switch (inspection.verdict) {
    case Inspection::Verdict::Backup: break;
    case Inspection::Verdict::NotABackup: result.outcome = RestoreOutcome::NotABackup; return result;
    case Inspection::Verdict::FileMissing: result.outcome = RestoreOutcome::FileMissing; return result;
    case Inspection::Verdict::Unreadable: result.outcome = RestoreOutcome::Failed; return result;
    }
    // A 64-bit system's 32-bit list is a 32-bit system's only one.
    if (!SystemIs64Bit()) {
        result.entry.listRoot = InOneMachineView(result.entry.listRoot);
        for (reg_file::Key& key : inspection.keys) key.name = InOneMachineView(key.name);
    }
    std::wstring saved;  // where the replaced entry went, for every later failure's reason
    const auto fail = [&](const std::wstring& what, LONG error, const std::wstring& after = {}) {
        result.outcome = RestoreOutcome::Failed;
        result.reason = what + L": " + fw::SystemErrorText(error) + after + saved;
        return result;
    };

    const std::wstring uninstallName = fw::WideCopy(UninstallKeyName(result.entry));
    const std::optional<RegistryImport::Location> list = RegistryImport::Locate(result.entry.listRoot);
    const std::optional<RegistryImport::Location> uninstall = RegistryImport::Locate(UninstallKeyName(result.entry));
    const std::optional<RegistryImport::Location> arpCache = RegistryImport::Locate(ArpCacheKeyName(result.entry));
    if (!list || !uninstall || !arpCache)
        return fail(uninstallName + L" has no place in this registry", ERROR_BAD_PATHNAME);

    LONG rc = ERROR_SUCCESS;
    const bool exists = static_cast<bool>(RegistryImport::Open(*uninstall, KEY_QUERY_VALUE, rc));
    if (!exists && rc != ERROR_FILE_NOT_FOUND) return fail(uninstallName + L" could not be opened", rc);
    if (exists && !replace) {
        result.outcome = RestoreOutcome::Exists;
        result.reason = L"The entry is in the list already: " + uninstallName + L".";
        return result;
    }

    if (exists) {
        // Replacing removes an entry: it is saved first, as every removal is.
        const std::optional<ListRef> ref =
            ParseListName(fw::WideCopy(ListNameOfRoot(result.entry.listRoot, SystemIs64Bit())));
        if (!ref) return fail(uninstallName + L" has no place in this registry", ERROR_BAD_PATHNAME);
        EntryBackup backup(*ref);
        if (!backup.Save(fw::WideCopy(result.entry.keyName), backupFolder)) {
            result.reason = backup.FailureText();
            return result;
        }
        result.replacedBackup = backup.File();
        saved = L" The entry that was there is saved in " + result.replacedBackup + L".";
        rc = RegistryImport::DeleteTree(*uninstall);
        if (!Gone(rc)) return fail(uninstallName + L" could not be deleted to be replaced", rc);
    }
    rc = RegistryImport::DeleteTree(*arpCache);
    if (!Gone(rc)) return fail(fw::WideCopy(ArpCacheKeyName(result.entry)) + L" could not be deleted to be replaced", rc);

    RegistryImport import;
    if (!import.Write(inspection.keys)) {
        // No half entry stays behind without a word, and a replaced one
        // comes back from the backup just made: a failed write leaves the
        // list as it was.
        const bool undone = Gone(RegistryImport::DeleteTree(*uninstall)) && Gone(RegistryImport::DeleteTree(*arpCache));
        std::wstring after = undone ? L" Nothing of the backup was kept." : L" Part of the entry may remain in the registry.";
        if (exists && undone) {
            const Inspection replaced = Inspect(result.replacedBackup);
            RegistryImport again;
            const bool back = replaced.verdict == Inspection::Verdict::Backup && again.Write(replaced.keys);
            after += back ? L" The entry that was there is back as it was."
                          : L" The entry that was there could not be put back.";
        }
        return fail(import.LastFailure().key + L" could not be written", import.LastFailure().error, after);
    }
    result.outcome = RestoreOutcome::Restored;
    result.reason.clear();
    return result;
}

BackupRestore::Listing BackupRestore::ListBackups(const std::wstring& folder) {
    return ListBackups(std::vector<std::wstring>{folder});
}

BackupRestore::Listing BackupRestore::ListBackups(const std::vector<std::wstring>& folders) {
    Listing listing;
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        WIN32_FIND_DATAW found;
        fw::FindHandle search(FindFirstFileW((folder + L"\\*.reg").c_str(), &found));
        if (!search) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && listing.error == ERROR_SUCCESS) {
                listing.error = error;
                listing.unreadFolder = folder;
            }
            continue;
        }
        do {
            const std::wstring name = found.cFileName;
            if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
                !HasRegExtension(name))
                continue;
            const std::wstring path = folder + L"\\" + name;
            Inspection inspection = Inspect(path);
            if (inspection.verdict != Inspection::Verdict::Backup) {
                ++listing.skipped;
                continue;
            }
            listing.backups.push_back({path, BackupFileTime(fw::AsUtf16(name)), found.ftLastWriteTime,
                                       std::move(inspection.entry), std::move(inspection.sha256)});
        } while (FindNextFileW(search.get(), &found));
    }

    // A name without a time sorts as the oldest.
    std::stable_sort(listing.backups.begin(), listing.backups.end(), [](const ListedBackup& a, const ListedBackup& b) {
        const BackupTime timeA = a.time.value_or(BackupTime{}), timeB = b.time.value_or(BackupTime{});
        if (timeA != timeB) return timeA > timeB;
        return Ticks(a.written) > Ticks(b.written);
    });
    return listing;
}

bool BackupRestore::SystemIs64Bit() { return sizeof(void*) == 8 || fw::RunsUnderWow64(); }
