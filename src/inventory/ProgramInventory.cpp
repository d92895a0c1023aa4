#include "inventory/ProgramInventory.h"

#include <optional>
#include <string>
#include <unordered_set>

#include "framework/ParallelFor.h"
#include "inventory/IconSource.h"
#include "inventory/InstallerCommand.h"
#include "inventory/UninstallCommand.h"
#include "registry/SettingsStore.h"

namespace {

// The product a Windows Installer entry is registered for: its key name
// when that is a product code, else the code its command runs msiexec on.
// Empty for other entries, and for one without a well-formed code. The
// "WindowsInstaller" value is read only where it decides something.
std::wstring ProductCodeOf(HKEY values, const std::wstring& keyName, const std::wstring& command) {
    std::optional<std::wstring> fromCommand = installer_command::ProductCodeOfCommand(command);
    if (installer_command::IsProductCode(keyName) &&
        (fromCommand || SettingsStore::ReadNumber(values, L"WindowsInstaller") == 1))
        return keyName;
    return fromCommand.value_or(std::wstring());
}

}  // namespace

void ProgramInventory::Enumerate() {
    entries_.clear();
    leftOut_ = 0;
    for (EntrySource source : SystemSources()) EnumerateSource(source);
}

void ProgramInventory::EnumerateSource(EntrySource source) {
    const HKEY root = SourceRoot(source);
    const REGSAM view = SourceView(source);
    const std::wstring uninstallPath = std::wstring(L"Software\\") + kUninstallPath;

    SettingsStore store;
    const std::vector<std::wstring> keyNames =
        store.EnumerateKey(root, uninstallPath, view, kCapacity - entries_.size()).Results();
    leftOut_ += store.Unlisted();
    if (keyNames.empty()) return;

    // Entry keys are opened relative to their parents, once each: a path
    // from the root can pass the registry's path limit with a long key
    // name, and one open per value costs more than the reads.
    const fw::RegKey uninstallKey = SettingsStore::OpenForReading(root, uninstallPath, view);
    const std::wstring cachePath = std::wstring(L"Software\\") + kArpCachePath;
    const fw::RegKey cacheKey = SettingsStore::OpenForReading(root, cachePath, view);
    // The cache's records, named once: looking up a record that is not
    // there costs as much as reading one, and most entries have none.
    std::unordered_set<std::wstring> cached;
    if (cacheKey) {
        const std::vector<std::wstring>& records = store.EnumerateKey(root, cachePath, view).Results();
        cached.insert(records.begin(), records.end());
    }

    // Each entry is read on its own, into its own slot, so two threads can
    // share the reads; the order stays the registry's.
    const std::size_t first = entries_.size();
    entries_.resize(first + keyNames.size());
    fw::ParallelFor(keyNames.size(), [&](std::size_t i) {
        const std::wstring& keyName = keyNames[i];
        ProgramEntry& entry = entries_[first + i];
        entry.source = source;
        entry.keyName = keyName;
        std::wstring iconText;
        // One open per entry for all its values.
        if (const fw::RegKey values = uninstallKey ? SettingsStore::OpenForReading(uninstallKey.get(), keyName, view)
                                                   : fw::RegKey()) {
            entry.displayName = SettingsStore::ReadText(values.get(), L"DisplayName");
            entry.uninstallString = SettingsStore::ReadText(values.get(), L"UninstallString");
            iconText = SettingsStore::ReadText(values.get(), L"DisplayIcon");
            entry.systemComponent = SettingsStore::ReadNumber(values.get(), L"SystemComponent") == 1;
            entry.productCode = ProductCodeOf(values.get(), keyName, entry.uninstallString);
        }
        entry.iconIndex = IconIndexFromText(iconText);
        if (iconText.empty() && cached.contains(keyName)) {
            const auto cached = SettingsStore::ReadCachedProgramName(cacheKey.get(), keyName, L"SlowInfoCache", view);
            if (cached && cached->size() >= kMinCachedNameLength) iconText = *cached;
        }
        if (iconText.empty()) iconText = IconTextFromUninstallString(entry.uninstallString);
        entry.iconPath = FileOfSource(CleanPath(iconText), source);

        UninstallCommand command = SplitUninstallString(entry.uninstallString);
        entry.programPath = std::move(command.programPath);
        entry.programArgs = std::move(command.programArgs);
    });
}
