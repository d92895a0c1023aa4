#pragma once
// Where the console's backups go: the folder --backups names; run elevated
// or as LocalSystem, MachineBackupFolder(), which only administrators and
// SYSTEM may change (a fleet's SYSTEM runs must not leave other users'
// entries where anyone can plant them, and an elevated step a user's window
// started must not write through that user's folders); otherwise the
// window's folder, %LOCALAPPDATA%\Zaltrow\Removed of the running account.

#include <string>

#include "framework/RunningAccount.h"

// Owner Administrators; full control for Administrators and SYSTEM, to the
// folder, its subfolders and files, and reading for users (the window lists
// the backups); nothing inherited from the parent. Given to
// %ProgramData%\Zaltrow and its Removed folder when they are made.
inline constexpr wchar_t kSystemBackupFolderSddl[] = L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FR;;;BU)";

class BackupFolder {
public:
    // `chosen`: --backups' folder, or empty for the default.
    BackupFolder(const std::wstring& chosen, fw::AccountRights rights);

    const std::wstring& Path() const { return path_; }

    // Makes the folder ready before anything is backed up into it: the
    // machine folder is created with kSystemBackupFolderSddl; one that
    // is there already is used only when it is no link (nor reached through
    // one), is owned by Administrators or SYSTEM and holds nothing but
    // backups and the Removed folder; otherwise it is moved aside under a
    // new name and made afresh, since whoever made it may still hold it
    // open. A link is refused, never followed or moved. Other folders are
    // created by the backup itself. False, with FailureText(), when it
    // cannot be.
    bool Prepare();
    const std::wstring& FailureText() const { return failure_; }
    // After Prepare: what it moved aside and made, for the record (Wine
    // keeps no rights to read back), e.g. "Made C:\ProgramData\Zaltrow\Removed
    // for administrators and SYSTEM only: O:BA..."; empty when nothing was.
    const std::wstring& MadeText() const { return made_; }

private:
    std::wstring path_;
    bool protect_ = false;
    std::wstring failure_;
    std::wstring made_;
};
