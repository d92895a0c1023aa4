#include "inventory/EntryBackup.h"

#include <shlobj.h>

#include "BuildConfig.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "inventory/BackupFileName.h"
#include "inventory/BackupKeys.h"
#include "inventory/EntrySelection.h"
#include "inventory/ProgramInventory.h"
#include "registry/RegistryExport.h"

namespace {

// Names whose file already exists get " (2)", " (3)"... up to this many.
constexpr int kMaxAttempts = 100;

// A folder that exists, made now level by level if need be. On failure
// `where` names the level that could not be made (a file of that name in
// the way is an error too).
DWORD EnsureFolder(const std::wstring& path, std::wstring& where) {
    for (std::size_t end = path.find(L'\\', 3);; end = path.find(L'\\', end + 1)) {
        where = path.substr(0, end);
        if (!CreateDirectoryW(where.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            const DWORD attributes = GetFileAttributesW(where.c_str());
            const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
            // Levels out of one's reach (a protected parent) may refuse
            // creation and still be there; a file in the way is not a folder.
            if (!folder) return attributes != INVALID_FILE_ATTRIBUTES ? ERROR_ALREADY_EXISTS : error;
        }
        if (end == std::wstring::npos) return ERROR_SUCCESS;
    }
}

BackupTime Now() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

bool EntryBackup::Fail(const std::wstring& where, DWORD error) {
    failure_ = BackupNotWrittenText(where, fw::SystemErrorText(error));
    return false;
}

std::wstring DefaultBackupFolder() {
    wchar_t base[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, base)))
        return {};
    return std::wstring(base) + L"\\" ZALTROW_PRODUCT_NAME L"\\Removed";
}

std::wstring MachineBackupFolder() {
    wchar_t base[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) return {};
    return std::wstring(base) + L"\\" ZALTROW_PRODUCT_NAME L"\\Removed";
}

std::vector<std::wstring> ShownBackupFolders(fw::AccountRights rights) {
    std::vector<std::wstring> folders;
    if (rights != fw::AccountRights::System) folders.push_back(DefaultBackupFolder());
    folders.push_back(MachineBackupFolder());
    return folders;
}

bool EntryBackup::Save(const std::wstring& keyName, const std::wstring& folder) {
    file_.clear();
    failure_.clear();

    const HKEY root = SourceRoot(list_.source);
    const REGSAM view = SourceView(list_.source);
    RegistryExport keys(root, view);
    const std::wstring uninstall = ListKeyPath(list_, ProgramInventory::kUninstallPath) + L"\\" + keyName;
    const std::wstring arpCache = ListKeyPath(list_, ProgramInventory::kArpCachePath) + L"\\" + keyName;
    RegistryExport::ExportOutcome outcome = keys.AddKey(uninstall, RegistryExport::NameInFile(root, view, uninstall));
    // Without an Uninstall key there is nothing to remove: the removal
    // itself reports that, so no file is made.
    if (outcome == RegistryExport::ExportOutcome::Absent) return true;
    // An entry without an ARPCache record simply has none in the file.
    if (outcome == RegistryExport::ExportOutcome::Added)
        outcome = keys.AddKey(arpCache, RegistryExport::NameInFile(root, view, arpCache));
    if (outcome == RegistryExport::ExportOutcome::Failed) {
        const RegistryExport::Failure& failure = keys.LastFailure();
        failure_ = BackupNotReadText(failure.key, failure.unwritableName
                                                      ? L"A name in it cannot be stored in a registration file."
                                                      : fw::SystemErrorText(failure.error));
        return false;
    }

    if (folder.empty()) return Fail(L"the local application data folder", ERROR_PATH_NOT_FOUND);
    std::wstring where;
    if (const DWORD error = EnsureFolder(folder, where)) return Fail(where, error);
    return WriteNewFile(folder, keyName, reg_file::Utf16LeWithBom(BackupFileText(keys.Keys())));
}

bool EntryBackup::WriteNewFile(const std::wstring& folder, const std::wstring& keyName,
                               const std::vector<std::uint8_t>& bytes) {
    const BackupTime when = Now();
    const std::u16string_view key = fw::AsUtf16(keyName);
    for (int attempt = 1; attempt <= kMaxAttempts; ++attempt) {
        const std::u16string name = BackupFileName(when, key, attempt);
        const std::wstring path = folder + L"\\" + std::wstring(fw::AsWide(name));
        // CREATE_NEW: an earlier backup is never overwritten, and a name
        // that is there already (a link included) is never opened; the
        // handle's own attributes then show it is a plain file.
        fw::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return Fail(path, error);
        }
        BY_HANDLE_FILE_INFORMATION facts{};
        const bool plain = GetFileInformationByHandle(file.get(), &facts) &&
                           !(facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && facts.nNumberOfLinks == 1;
        DWORD written = 0;
        const bool complete = plain &&
                              WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                        nullptr) &&
                              written == bytes.size() && FlushFileBuffers(file.get());
        const DWORD error = complete ? ERROR_SUCCESS : plain ? GetLastError() : ERROR_REPARSE_ATTRIBUTE_CONFLICT;
        if (!complete) {
            // A partial file would restore only part of the entry: it goes,
            // through this handle, so nothing else of that name is deleted.
            FILE_DISPOSITION_INFO dispose{TRUE};
            SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
        }
        const bool closed = CloseHandle(file.release());
        if (complete && closed) {
            file_ = path;
            return true;
        }
        return Fail(path, complete ? GetLastError() : error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
    }
    return Fail(folder, ERROR_FILE_EXISTS);
}
