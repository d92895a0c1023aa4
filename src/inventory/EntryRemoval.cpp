#include "inventory/EntryRemoval.h"

#include <algorithm>

#include <atomic>

#include "BuildConfig.h"
#include "framework/AdminNamespace.h"
#include "framework/RegistryKey.h"
#include "framework/RunningAccount.h"
#include "framework/SystemErrorText.h"
#include "framework/UniqueHandle.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntryKeyName.h"
#include "inventory/EntrySelection.h"
#include "inventory/ProgramInventory.h"
#include "registry/UninstallRegistry.h"

namespace {

// Held for one entry's check, backup and deletion; shared by every session.
// Elevated runs find it in the administrators' namespace, where no standard
// user can make it first; the rest (and all of them where there is no such
// namespace) in the global one.
constexpr const wchar_t* kRemovalLockName = L"entry removal";
// A removal takes well under this; a holder that hangs does not stop us,
// since a deletion that finds the key gone is still reported as such.
constexpr DWORD kLockWaitMs = 30000;

class RemovalLock {
public:
    RemovalLock() : mutex_(CreateMutexW(nullptr, FALSE, names_.ObjectName(kRemovalLockName).c_str())) {
        if (!mutex_) return;
        // Once a holder has outlasted the wait, it is taken to hang (or to
        // be a program that only squats on the name): later entries of this
        // run do not wait for it again, until the lock is free once more.
        const DWORD wait = WaitForSingleObject(mutex_.get(), outlasted_.load() ? 0 : kLockWaitMs);
        held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        outlasted_.store(wait == WAIT_TIMEOUT);
    }
    ~RemovalLock() {
        if (held_) ReleaseMutex(mutex_.get());
    }
    RemovalLock(const RemovalLock&) = delete;
    RemovalLock& operator=(const RemovalLock&) = delete;

private:
    // Open while the lock is held: a namespace nobody has open any more is
    // gone, and the next one made is another, with another lock in it.
    const fw::AdminNamespace names_{L"" ZALTROW_PRODUCT_NAME};
    fw::KernelHandle mutex_;
    bool held_ = false;
    static inline std::atomic<bool> outlasted_{false};
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

std::vector<std::wstring> BatchRemoval::BackupFolders() const {
    std::vector<std::wstring> folders;
    for (const EntryRemoved& removal : removals) {
        if (removal.outcome != RemovalResult::RemovalOutcome::Removed || removal.backupFile.empty()) continue;
        const std::wstring folder = removal.backupFile.substr(0, removal.backupFile.find_last_of(L'\\'));
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    }
    return folders;
}

BatchRemoval RemoveEntries(const std::vector<ProgramEntry>& entries, const std::wstring& backupFolder,
                           const ElevatedRemover& elevated) {
    const fw::AccountRights rights = fw::RunningRights();
    BatchRemoval batch;
    batch.removals.resize(entries.size());
    // The entries of lists only an administrator may change go to the
    // elevated step first, all at once: a declined prompt then leaves
    // everything as it was.
    std::vector<ProgramEntry> handed;
    for (const ProgramEntry& entry : entries)
        if (NeedsAdministrator(ListOf(entry), rights)) handed.push_back(entry);
    if (!handed.empty()) {
        const ElevatedRemovals handOff = elevated(handed);
        if (handOff.error != ERROR_SUCCESS) {
            batch.handOffError = handOff.error;
            return batch;
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!NeedsAdministrator(ListOf(entries[i]), rights)) continue;
            const OperationResult* found = nullptr;
            for (const OperationResult& result : handOff.results)
                if (result.key == entries[i].keyName && result.list == ListName(ListOf(entries[i]))) found = &result;
            batch.removals[i] = FromHandOff(found, handOff.exitCode);
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (NeedsAdministrator(ListOf(entries[i]), rights)) continue;
        const RemovalResult result = RemoveEntry(ListOf(entries[i]), entries[i].keyName, backupFolder);
        batch.removals[i] = {result.outcome, result.backupFile, result.failureText};
    }
    for (const EntryRemoved& removal : batch.removals) {
        if (removal.outcome == RemovalResult::RemovalOutcome::Removed) ++batch.removed;
        else if (removal.outcome == RemovalResult::RemovalOutcome::AlreadyGone) ++batch.gone;
    }
    return batch;
}
