#pragma once
// The backup every removal writes before it deletes anything: both keys of
// the entry (Uninstall and ARPCache, with all values and subkeys) in one
// registration file that the platform's registry editor imports as it is,
// by default in the user's local application data under Zaltrow\Removed.
// One new file per removal; the program never overwrites one, and deletes
// only one it has just written for a removal that then did not happen.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/RunningAccount.h"
#include "inventory/EntrySource.h"

// <local application data>\Zaltrow\Removed of the running account (not
// created here); empty when the system names no such folder.
std::wstring DefaultBackupFolder();
// %ProgramData%\Zaltrow\Removed: where elevated and SYSTEM runs keep their
// backups, in a folder only administrators and SYSTEM may change, so no
// administrator's write goes through a folder a user could redirect.
std::wstring MachineBackupFolder();
// The folders whose backups this account is shown, its own first: a
// user's removals and an elevated step's (which the user's window may have
// started) alike; SYSTEM has none of its own.
std::vector<std::wstring> ShownBackupFolders(fw::AccountRights rights);

class EntryBackup {
public:
    // The entry's keys are read from `list`, as the removal will delete them.
    explicit EntryBackup(const ListRef& list) : list_(list) {}

    // Saves the keys of the entry `keyName` into a new file in `folder`,
    // made (with any missing parents) when it is not there. True when the
    // file was written completely, or when the entry has no Uninstall key
    // (then there is nothing to remove and no file is made). False when
    // something failed: FailureText() says what and where, and nothing may
    // be deleted.
    bool Save(const std::wstring& keyName, const std::wstring& folder);

    // The file written by Save; empty when none was.
    const std::wstring& File() const { return file_; }
    const std::wstring& FailureText() const { return failure_; }

private:
    bool WriteNewFile(const std::wstring& folder, const std::wstring& keyName, const std::vector<std::uint8_t>& bytes);
    bool Fail(const std::wstring& where, DWORD error);

    ListRef list_;
    std::wstring file_;
    std::wstring failure_;
};
