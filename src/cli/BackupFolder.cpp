#include "cli/BackupFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include "BuildConfig.h"
#include "framework/SecurityDescriptor.h"
#include "framework/SystemErrorText.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "inventory/BackupFileName.h"
#include "inventory/EntryBackup.h"

namespace {

// Whether this process's own account is `sid`: as SYSTEM that is SYSTEM
// itself (under Wine, which gives every file its user, the one user).
bool IsRunningAccount(PSID sid) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
    const fw::KernelHandle token(raw);
    alignas(TOKEN_USER) unsigned char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE] = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size)) return false;
    return EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, sid) != FALSE;
}

bool OwnedByAdministrators(HANDLE folder) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    const bool trusted = owner && (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                                   IsWellKnownSid(owner, WinLocalSystemSid) || IsRunningAccount(owner));
    LocalFree(descriptor);
    return trusted;
}

// Why a folder that is there may not take SYSTEM's backups, in words; empty
// when it may: it is no link and is reached through none (its final path
// is the one asked for), holds only backup files and the folder `inner`
// (none when empty), and its owner is Administrators or SYSTEM. `link`
// says the doubt is a link: that is never moved (under Wine a move of a
// link moves what it leads to).
std::wstring FolderDoubt(const std::wstring& folder, const std::wstring& inner, bool& link) {
    link = true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return L"it is a link";
    const fw::FileHandle handle(CreateFileW(folder.c_str(), READ_CONTROL | FILE_LIST_DIRECTORY,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return L"it cannot be opened";
    wchar_t final[MAX_PATH * 2] = {};
    const DWORD length = GetFinalPathNameByHandleW(handle.get(), final, MAX_PATH * 2, FILE_NAME_NORMALIZED);
    const std::wstring reached = length > 0 && length < MAX_PATH * 2 ? std::wstring(final, length) : L"";
    if (CompareStringOrdinal(reached.c_str(), -1, (L"\\\\?\\" + folder).c_str(), -1, TRUE) != CSTR_EQUAL)
        return L"it leads to " + (reached.empty() ? std::wstring(L"another place") : reached);
    link = false;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return L"it is no folder";
    WIN32_FIND_DATAW found;
    const fw::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            const bool linked = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            const bool ours = !linked && (isFolder ? (!inner.empty() && CompareStringOrdinal(name.c_str(), -1, inner.c_str(), -1, TRUE) == CSTR_EQUAL)
                                                 : BackupFileTime(fw::AsUtf16(name)).has_value());
            if (!ours) return L"it holds " + name + L", which is not " ZALTROW_PRODUCT_NAME L"'s";
        } while (FindNextFileW(search.get(), &found));
    }
    // Whoever made it may still hold it open with the rights it had then.
    if (!OwnedByAdministrators(handle.get())) return L"neither Administrators nor SYSTEM own it";
    return {};
}

}  // namespace

BackupFolder::BackupFolder(const std::wstring& chosen, fw::AccountRights rights) {
    if (!chosen.empty()) {
        path_ = chosen;
    } else if (rights != fw::AccountRights::Standard) {
        // An elevated run may have been started by a user's window: what it
        // writes goes where no user can redirect it.
        protect_ = true;
        path_ = MachineBackupFolder();
    } else {
        path_ = DefaultBackupFolder();
    }
}

bool BackupFolder::Prepare() {
    if (path_.empty()) {
        failure_ = L"The folder for the backups is not known.";
        return false;
    }
    if (!protect_) return true;
    const fw::SecurityDescriptor descriptor(kSystemBackupFolderSddl);
    if (!descriptor) {
        failure_ = L"The backup folder's rights cannot be made: " + fw::SystemErrorText(GetLastError());
        return false;
    }
    SECURITY_ATTRIBUTES attributes = descriptor.Attributes();
    const std::wstring programFolder = path_.substr(0, path_.rfind(L'\\'));
    for (const std::wstring& folder : {programFolder, path_}) {
        const std::wstring inner = folder == programFolder ? L"Removed" : L"";
        if (!CreateDirectoryW(folder.c_str(), &attributes)) {
            DWORD error = GetLastError();
            // Wine answers "file exists" where a link stands.
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
                bool link = false;
                const std::wstring doubt = FolderDoubt(folder, inner, link);
                if (doubt.empty()) continue;
                if (link) {
                    failure_ = L"The backup folder " + folder + L" is not used: " + doubt +
                               L". Nothing is backed up through it; an administrator should remove the link.";
                    return false;
                }
                // Someone else's folder under our name: kept for whoever
                // wants to look, but out of the way.
                const std::wstring aside = folder + L" (moved aside " + std::to_wstring(GetTickCount64()) + L")";
                if (MoveFileExW(folder.c_str(), aside.c_str(), 0) && CreateDirectoryW(folder.c_str(), &attributes)) {
                    made_ += L"Moved " + folder + L" aside to " + aside + L": " + doubt + L"\r\n";
                    made_ += L"Made " + folder + L" for administrators and SYSTEM only: " + kSystemBackupFolderSddl;
                    continue;
                }
                error = GetLastError();
            }
            failure_ = L"The backup folder " + folder + L" cannot be made for administrators and SYSTEM only: " +
                       fw::SystemErrorText(error);
            return false;
        }
        if (!made_.empty()) made_ += L"\r\n";
        made_ += L"Made " + folder + L" for administrators and SYSTEM only: " + kSystemBackupFolderSddl;
    }
    return true;
}
