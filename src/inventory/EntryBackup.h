#pragma once
// The backup every removal writes before it deletes anything: both keys of
// the entry (Uninstall and ARPCache, with all values and subkeys) in one
// registration file that the platform's registry editor imports as it is,
// in the user's local application data under Zaltrow\Removed. One new file
// per removal; the program never deletes or overwrites one.

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class EntryBackup {
public:
    // The entry's keys are read under `root` in `view` (0, KEY_WOW64_64KEY
    // or KEY_WOW64_32KEY), as the removal will delete them, below the
    // root's `software` key (another user's is "<SID>\Software" under
    // HKEY_USERS).
    EntryBackup(HKEY root, REGSAM view, std::wstring software = L"Software")
        : root_(root), view_(view), software_(std::move(software)) {}

    // Saves the keys of the entry `keyName`. True when the file was written
    // completely, or when the entry has no Uninstall key (then there is
    // nothing to remove and no file is made). False when something failed:
    // FailureText() says what and where, and nothing may be deleted.
    bool Save(const std::wstring& keyName);

    // The file written by Save; empty when none was.
    const std::wstring& File() const { return file_; }
    const std::wstring& FailureText() const { return failure_; }

private:
    // <local application data>\Zaltrow\Removed, created if missing. Empty
    // on failure, with FailureText() set.
    std::wstring Folder();
    bool WriteNewFile(const std::wstring& folder, const std::wstring& keyName, const std::vector<std::uint8_t>& bytes);
    bool Fail(const std::wstring& where, DWORD error);

    HKEY root_;
    REGSAM view_;
    std::wstring software_;
    std::wstring file_;
    std::wstring failure_;
};
