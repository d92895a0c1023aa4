#include "inventory/ProgramInventory.h"

#include <optional>
#include <string>

#include "inventory/IconSource.h"
#include "inventory/InstallerCommand.h"
#include "inventory/UninstallCommand.h"
#include "registry/SettingsStore.h"

namespace {

// The product a Windows Installer entry is registered for: its key name
// when that is a product code, else the code its command runs msiexec on.
// Empty for other entries, and for one without a well-formed code.
std::wstring ProductCodeOf(const std::wstring& keyName, const std::wstring& command, bool windowsInstaller) {
    std::optional<std::wstring> fromCommand = installer_command::ProductCodeOfCommand(command);
    if (!windowsInstaller && !fromCommand) return {};
    if (installer_command::IsProductCode(keyName)) return keyName;
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
    const fw::RegKey cacheKey =
        SettingsStore::OpenForReading(root, std::wstring(L"Software\\") + kArpCachePath, view);

    for (const std::wstring& keyName : keyNames) {
        ProgramEntry entry;
        entry.source = source;
        entry.keyName = keyName;
        std::wstring iconText;
        bool windowsInstaller = false;
        if (uninstallKey) {
            SettingsStore::Values values =
                store.ReadValues(uninstallKey.get(), keyName, {L"DisplayName", L"UninstallString", L"DisplayIcon"},
                                 {L"WindowsInstaller", L"SystemComponent"}, view);
            entry.displayName = std::move(values.texts[0]);
            entry.uninstallString = std::move(values.texts[1]);
            iconText = std::move(values.texts[2]);
            windowsInstaller = values.numbers[0] == 1;
            entry.systemComponent = values.numbers[1] == 1;
        }
        entry.productCode = ProductCodeOf(keyName, entry.uninstallString, windowsInstaller);
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
