#include "inventory/EntryRemoval.h"

#include "BuildConfig.h"
#include "framework/RegistryKey.h"
#include "framework/RunningAccount.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryKeyName.h"
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

RemovalResult Failure(RemovalResult::RemovalOutcome outcome, std::wstring text, DWORD error) {
    RemovalResult result;
    result.outcome = outcome;
    result.failureText = std::move(text);
    result.error = error;
    return result;
}

}  // namespace

RemovalResult RemoveEntry(const ListRef& list, const std::wstring& keyName, const std::wstring& backupFolder) {
    if (const std::wstring problem = EntryKeyProblem(keyName); !problem.empty())
        return Failure(RemovalResult::RemovalOutcome::Refused, L"The key \"" + keyName + L"\" " + problem + L".",
                       ERROR_INVALID_NAME);
    const RemovalLock lock;
    const HKEY root = SourceRoot(list.source);
    const REGSAM view = SourceView(list.source);
    const std::wstring uninstallPath = ListKeyPath(list, ProgramInventory::kUninstallPath);

    // Gone already, or not ours to change: either way no backup is made.
    RemovalResult done{RemovalResult::RemovalOutcome::AlreadyGone, {}, {}, {}, ERROR_SUCCESS};
    LONG rc = ERROR_SUCCESS;
    {
        const fw::RegKey parent =
            fw::OpenRegKey(root, uninstallPath, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, &rc);
        if (parent) rc = UninstallRegistry::StoredSubkeyName(parent.get(), keyName, done.keyName);
        if (rc == ERROR_FILE_NOT_FOUND) return done;
        const fw::RegKey key = parent && rc == ERROR_SUCCESS
                                   ? fw::OpenRegKey(parent.get(), done.keyName, DELETE | KEY_SET_VALUE | view, &rc)
                                   : fw::RegKey();
        if (rc == ERROR_FILE_NOT_FOUND) return done;
        if (!key) return Failure(RemovalResult::RemovalOutcome::Failed, RemovalFailedText(list, keyName, fw::SystemErrorText(rc)), rc);
    }
    const std::wstring& stored = done.keyName;

    EntryBackup backup(list);
    if (!backup.Save(stored, backupFolder))
        return Failure(RemovalResult::RemovalOutcome::BackupFailed, backup.FailureText(), ERROR_SUCCESS);
    if (backup.File().empty()) return done;

    rc = UninstallRegistry::DeleteTree(root, uninstallPath, stored, view);
    if (rc == ERROR_FILE_NOT_FOUND) {
        // Another run took it between our backup and our deletion: the file
        // backs up nothing this run removed.
        DeleteFileW(backup.File().c_str());
        return done;
    }
    if (rc != ERROR_SUCCESS)
        return Failure(RemovalResult::RemovalOutcome::Failed, RemovalFailedText(list, stored, fw::SystemErrorText(rc)), rc);
    UninstallRegistry::DeleteTree(root, ListKeyPath(list, ProgramInventory::kArpCachePath), stored, view);
    done.outcome = RemovalResult::RemovalOutcome::Removed;
    done.backupFile = backup.File();
    return done;
}

std::wstring StoredEntryKey(const ListRef& list, const std::wstring& keyName) {
    if (!EntryKeyProblem(keyName).empty()) return {};
    LONG rc = ERROR_SUCCESS;
    const fw::RegKey parent = fw::OpenRegKey(SourceRoot(list.source), ListKeyPath(list, ProgramInventory::kUninstallPath),
                                             KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | SourceView(list.source), &rc);
    std::wstring stored;
    if (parent) rc = UninstallRegistry::StoredSubkeyName(parent.get(), keyName, stored);
    if (rc == ERROR_FILE_NOT_FOUND) return {};
    return rc == ERROR_SUCCESS ? stored : keyName;
}

namespace {

// What became of one entry of the window's removal, whoever removed it.
struct EntryRemoved {
    RemovalResult::RemovalOutcome outcome = RemovalResult::RemovalOutcome::Failed;
    std::wstring backupFile;
    std::wstring failureText;
};

EntryRemoved FromHandOff(const OperationResult* result, DWORD exitCode) {
    if (!result)
        return {RemovalResult::RemovalOutcome::Failed, {},
                L"The elevated " ZALTROW_CONSOLE_FILE L" said nothing of this entry (exit code " +
                    std::to_wstring(exitCode) + L")."};
    switch (result->outcome) {
    case OperationOutcome::Removed: return {RemovalResult::RemovalOutcome::Removed, result->detail, {}};
    case OperationOutcome::AlreadyRemoved:
    case OperationOutcome::NotFound: return {RemovalResult::RemovalOutcome::AlreadyGone, {}, {}};
    case OperationOutcome::BackupFailed: return {RemovalResult::RemovalOutcome::BackupFailed, {}, result->detail};
    default: return {RemovalResult::RemovalOutcome::Failed, {}, result->detail};
    }
}

}  // namespace

void RemoveProgramEntry(HWND owner, const ProgramEntry& entry, const std::function<void()>& refreshList) {
    RemoveProgramEntries(owner, {entry}, refreshList);
}

void RemoveProgramEntries(HWND owner, const std::vector<ProgramEntry>& entries, const std::function<void()>& refreshList) {
    const std::wstring folder = DefaultBackupFolder();
    const fw::AccountRights rights = fw::RunningRights();
    std::vector<EntryRemoved> removals(entries.size());
    // The entries of lists only an administrator may change go to the
    // elevated console program first, all at once: a declined prompt then
    // leaves everything as it was.
    std::vector<ProgramEntry> handed;
    for (const ProgramEntry& entry : entries)
        if (NeedsAdministrator(ListOf(entry), rights)) handed.push_back(entry);
    if (!handed.empty()) {
        const ElevatedHandOff::HandOffOutcome handOff = ElevatedHandOff::Remove(owner, handed, folder);
        if (handOff.error != ERROR_SUCCESS) {
            MessageBoxW(owner, ElevatedHandOff::NotDoneText(handOff.error, L"removed").c_str(), kCaption,
                        MB_OK | (handOff.error == ERROR_CANCELLED ? MB_ICONASTERISK : MB_ICONHAND));
            return;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!NeedsAdministrator(ListOf(entries[i]), rights)) continue;
            const OperationResult* found = nullptr;
            for (const OperationResult& result : handOff.results)
                if (result.key == entries[i].keyName && result.list == ListName(ListOf(entries[i]))) found = &result;
            removals[i] = FromHandOff(found, handOff.exitCode);
        }
    }
    {
        const fw::WaitCursor busy;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (NeedsAdministrator(ListOf(entries[i]), rights)) continue;
            const RemovalResult result = RemoveEntry(ListOf(entries[i]), entries[i].keyName, folder);
            removals[i] = {result.outcome, result.backupFile, result.failureText};
        }
    }

    std::size_t removed = 0, gone = 0;
    std::vector<BatchFailure> failures;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        switch (removals[i].outcome) {
        case RemovalResult::RemovalOutcome::Removed: ++removed; break;
        case RemovalResult::RemovalOutcome::AlreadyGone: ++gone; break;
        default: failures.push_back({entries[i].displayName, removals[i].failureText}); break;
        }
    }
    if (!(entries.size() == 1 && !failures.empty())) {
        refreshList();
        if (owner) UpdateWindow(owner);
    }
    if (entries.size() != 1) {
        MessageBoxW(owner, BatchRemovedText(removed, gone, folder, failures).c_str(), kCaption,
                    MB_OK | (failures.empty() ? MB_ICONASTERISK : MB_ICONEXCLAMATION));
    } else if (removed == 1) {
        MessageBoxW(owner, RemovedText(entries[0].displayName, removals[0].backupFile).c_str(), kCaption,
                    MB_OK | MB_ICONASTERISK);
    } else if (gone == 1) {
        MessageBoxW(owner, NoLongerListedText(entries[0].displayName).c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
    } else {
        MessageBoxW(owner, removals[0].failureText.c_str(), kCaption, MB_OK | MB_ICONHAND);
    }
}
