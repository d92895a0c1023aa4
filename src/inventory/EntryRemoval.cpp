#include "inventory/EntryRemoval.h"

#include "BuildConfig.h"
#include "inventory/EntryBackup.h"
#include "inventory/EntrySelection.h"
#include "inventory/ProgramInventory.h"
#include "registry/SettingsStore.h"

namespace {
constexpr const wchar_t* kCaption = L"" ZALTROW_MESSAGE_CAPTION;
}  // namespace

void RemoveProgramEntry(HWND owner, EntrySource source, const std::wstring& keyName,
                        const std::wstring& displayName, const std::function<void()>& refreshList) {
    const HKEY root = SourceRoot(source);
    const REGSAM view = SourceView(source);
    // No backup, no deletion: every removal can be imported back.
    EntryBackup backup(root, view);
    if (!backup.Save(keyName)) {
        MessageBoxW(owner, backup.FailureText().c_str(), kCaption, MB_OK | MB_ICONHAND);
        return;
    }
    SettingsStore store;
    if (!store.DeleteKey(ProgramInventory::kUninstallPath, keyName, root, view)) {
        MessageBoxW(owner, RemovalFailedText(source, keyName).c_str(), kCaption, MB_OK | MB_ICONHAND);
        return;
    }
    store.DeleteKey(ProgramInventory::kArpCachePath, keyName, root, view);
    refreshList();
    // The refreshed list is painted before the box covers it.
    if (owner) UpdateWindow(owner);
    MessageBoxW(owner, RemovedText(displayName).c_str(), kCaption, MB_OK | MB_ICONASTERISK);
}
