#include "cli/BackupFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include "BuildConfig.h"
#include "framework/SecurityDescriptor.h"
#include "framework/SystemErrorText.h"
#include "inventory/EntryBackup.h"

namespace {

std::wstring ProgramDataFolder() {
    wchar_t base[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) ? base
                                                                                                         : L"";
}

}  // namespace

BackupFolder::BackupFolder(const std::wstring& chosen, fw::AccountRights rights) {
    if (!chosen.empty()) {
        path_ = chosen;
    } else if (rights == fw::AccountRights::System) {
        protect_ = true;
        const std::wstring base = ProgramDataFolder();
        if (!base.empty()) path_ = base + L"\\" ZALTROW_PRODUCT_NAME L"\\Removed";
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
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    if (!descriptor || !GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted)) {
        failure_ = L"The backup folder's rights cannot be made: " + fw::SystemErrorText(GetLastError());
        return false;
    }
    SECURITY_ATTRIBUTES attributes = descriptor.Attributes();
    const std::wstring programFolder = path_.substr(0, path_.rfind(L'\\'));
    for (const std::wstring& folder : {programFolder, path_}) {
        if (CreateDirectoryW(folder.c_str(), &attributes)) {
            made_ = L"Made " + folder + L" for administrators and SYSTEM only: " + kSystemBackupFolderSddl;
            continue;
        }
        DWORD error = GetLastError();
        const DWORD attributesNow = GetFileAttributesW(folder.c_str());
        if (error == ERROR_ALREADY_EXISTS && attributesNow != INVALID_FILE_ATTRIBUTES &&
            (attributesNow & FILE_ATTRIBUTE_DIRECTORY)) {
            // Made earlier, perhaps by someone else: it gets the same owner and
            // rights before anything goes into it.
            std::wstring name = folder;
            error = SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                          OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                              PROTECTED_DACL_SECURITY_INFORMATION,
                                          owner, nullptr, dacl, nullptr);
            if (error == ERROR_SUCCESS) continue;
        }
        failure_ = L"The backup folder " + folder + L" cannot be made for administrators and SYSTEM only: " +
                   fw::SystemErrorText(error);
        return false;
    }
    return true;
}
