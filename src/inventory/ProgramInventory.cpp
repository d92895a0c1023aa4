#include "inventory/ProgramInventory.h"

#include <string>

#include "inventory/IconSource.h"
#include "inventory/UninstallCommand.h"
#include "registry/SettingsStore.h"

void ProgramInventory::Enumerate() {
    entries_.clear();
    for (EntrySource source : SystemSources()) EnumerateSource(source);
}

void ProgramInventory::EnumerateSource(EntrySource source) {
    const HKEY root = SourceRoot(source);
    const REGSAM view = SourceView(source);
    const std::wstring uninstallPath = std::wstring(L"Software\\") + kUninstallPath;

    SettingsStore store;
    store.SetWalkCounter(0);  // each source may list its first 601 subkeys
    const std::vector<std::wstring> keyNames = store.EnumerateKey(root, uninstallPath, view).Results();
    if (keyNames.empty()) return;

    // Entry keys are opened relative to their parents, once each: a path
    // from the root can pass the registry's path limit with a long key
    // name, and one open per value costs more than the reads.
    const fw::RegKey uninstallKey = SettingsStore::OpenForReading(root, uninstallPath, view);
    const fw::RegKey cacheKey =
        SettingsStore::OpenForReading(root, std::wstring(L"Software\\") + kArpCachePath, view);

    for (const std::wstring& keyName : keyNames) {
        if (entries_.size() >= kCapacity) break;

        ProgramEntry entry;
        entry.source = source;
        entry.keyName = keyName;
        std::wstring iconText;
        if (uninstallKey) {
            std::vector<std::wstring> texts = store.ReadStrings(
                uninstallKey.get(), keyName, {L"DisplayName", L"UninstallString", L"DisplayIcon"}, view);
            entry.displayName = std::move(texts[0]);
            entry.uninstallString = std::move(texts[1]);
            iconText = std::move(texts[2]);
        }
        entry.iconIndex = IconIndexFromText(iconText);
        if (iconText.empty() && cacheKey) {
            const auto cached = store.ReadCachedProgramName(cacheKey.get(), keyName, L"SlowInfoCache", view);
            if (cached && cached->size() >= kMinCachedNameLength) iconText = *cached;
        }
        if (iconText.empty()) iconText = IconTextFromUninstallString(entry.uninstallString);
        entry.iconPath = FileOfSource(CleanPath(iconText), source);

        UninstallCommand command = SplitUninstallString(entry.uninstallString);
        entry.programPath = std::move(command.programPath);
        entry.programArgs = std::move(command.programArgs);
        entries_.push_back(std::move(entry));
    }
}
