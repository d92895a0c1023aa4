#include "inventory/EntryRemoval.h"

#include "BuildConfig.h"
#include "framework/RegistryKey.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntrySelection.h"
#include "inventory/ProgramInventory.h"
#include "registry/UninstallRegistry.h"

namespace {

constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;
// Held for one entry's check, backup and deletion; shared by every session.
constexpr const wchar_t* kRemovalMutex = L"Global\\" ZALTROW_PRODUCT_NAME L" entry removal";
// A removal takes well under this; a holder that hangs does not stop us,
// since a deletion that finds the key gone is still reported as such.
constexpr DWORD kLockWaitMs = 30000;

class RemovalLock {
public:
    RemovalLock() : mutex_(CreateMutexW(nullptr, FALSE, kRemovalMutex)) {
        if (!mutex_) return;
        const DWORD wait = WaitForSingleObject(mutex_.get(), kLockWaitMs);
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~RemovalLock() {
        if (held_) ReleaseMutex(mutex_.get());
    }
    RemovalLock(const RemovalLock&) = delete;
    RemovalLock& operator=(const RemovalLock&) = delete;

private:
    fw::KernelHandle mutex_;
    bool held_ = false;
};

RemovalResult Failure(RemovalResult::Outcome outcome, std::wstring text, DWORD error) {
    RemovalResult result;
    result.outcome = outcome;
    result.failureText = std::move(text);
    result.error = error;
    return result;
}

}  // namespace

RemovalResult RemoveEntry(const ListRef& list, const std::wstring& keyName, const std::wstring& backupFolder) {
    const RemovalLock lock;
    const HKEY root = SourceRoot(list.source);
    const REGSAM view = SourceView(list.source);
    const std::wstring uninstallPath = ListKeyPath(list, ProgramInventory::kUninstallPath);

    // Gone already, or not ours to change: either way no backup is made.
    LONG rc = ERROR_SUCCESS;
    {
        const fw::RegKey parent = fw::OpenRegKey(root, uninstallPath, KEY_QUERY_VALUE | view, &rc);
        const fw::RegKey key = parent ? fw::OpenRegKey(parent.get(), keyName, DELETE | KEY_SET_VALUE | view, &rc)
                                      : fw::RegKey();
        if (rc == ERROR_FILE_NOT_FOUND) return {RemovalResult::Outcome::AlreadyGone, {}, {}, ERROR_SUCCESS};
        if (!key) return Failure(RemovalResult::Outcome::Failed, RemovalFailedText(list, keyName, fw::SystemErrorText(rc)), rc);
    }

    EntryBackup backup(list);
    if (!backup.Save(keyName, backupFolder))
        return Failure(RemovalResult::Outcome::BackupFailed, backup.FailureText(), ERROR_SUCCESS);
    if (backup.File().empty()) return {RemovalResult::Outcome::AlreadyGone, {}, {}, ERROR_SUCCESS};

    rc = UninstallRegistry::DeleteTree(root, uninstallPath, keyName, view);
    if (rc == ERROR_FILE_NOT_FOUND) {
        // Another run took it between our backup and our deletion: the file
        // backs up nothing this run removed.
        DeleteFileW(backup.File().c_str());
        return {RemovalResult::Outcome::AlreadyGone, {}, {}, ERROR_SUCCESS};
    }
    if (rc != ERROR_SUCCESS)
        return Failure(RemovalResult::Outcome::Failed, RemovalFailedText(list, keyName, fw::SystemErrorText(rc)), rc);
    UninstallRegistry::DeleteTree(root, ListKeyPath(list, ProgramInventory::kArpCachePath), keyName, view);
    return {RemovalResult::Outcome::Removed, backup.File(), {}, ERROR_SUCCESS};
}

bool EntryExists(const ListRef& list, const std::wstring& keyName) {
    const REGSAM view = SourceView(list.source);
    LONG rc = ERROR_SUCCESS;
    const fw::RegKey parent = fw::OpenRegKey(SourceRoot(list.source), ListKeyPath(list, ProgramInventory::kUninstallPath),
                                             KEY_QUERY_VALUE | view, &rc);
    if (parent) fw::OpenRegKey(parent.get(), keyName, KEY_QUERY_VALUE | view, &rc);
    return rc != ERROR_FILE_NOT_FOUND;
}

void RemoveProgramEntry(HWND owner, const ProgramEntry& entry, const std::function<void()>& refreshList) {
    const RemovalResult result = RemoveEntry(ListOf(entry), entry.keyName, DefaultBackupFolder());
    switch (result.outcome) {
    case RemovalResult::Outcome::Removed:
    case RemovalResult::Outcome::AlreadyGone:
        refreshList();
        if (owner) UpdateWindow(owner);
        if (result.outcome == RemovalResult::Outcome::Removed)
            MessageBoxW(owner, RemovedText(entry.displayName, result.backupFile).c_str(), kCaption,
                        MB_OK | MB_ICONASTERISK);
        else
            MessageBoxW(owner, NoLongerListedText(entry.displayName).c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    default:
        MessageBoxW(owner, result.failureText.c_str(), kCaption, MB_OK | MB_ICONHAND);
        return;
    }
}

void RemoveProgramEntries(HWND owner, const std::vector<ProgramEntry>& entries, const std::function<void()>& refreshList) {
    if (entries.size() == 1) return RemoveProgramEntry(owner, entries.front(), refreshList);
    const std::wstring folder = DefaultBackupFolder();
    std::size_t removed = 0, gone = 0;
    std::vector<BatchFailure> failures;
    {
        const fw::WaitCursor busy;
        for (const ProgramEntry& entry : entries) {
            const RemovalResult result = RemoveEntry(ListOf(entry), entry.keyName, folder);
            switch (result.outcome) {
            case RemovalResult::Outcome::Removed: ++removed; break;
            case RemovalResult::Outcome::AlreadyGone: ++gone; break;
            default: failures.push_back({entry.displayName, result.failureText}); break;
            }
        }
    }
    refreshList();
    if (owner) UpdateWindow(owner);
    MessageBoxW(owner, BatchRemovedText(removed, gone, folder, failures).c_str(), kCaption,
                MB_OK | (failures.empty() ? MB_ICONASTERISK : MB_ICONEXCLAMATION));
}
