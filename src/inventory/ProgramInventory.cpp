#include "inventory/ProgramInventory.h"

#include <string>

#include "inventory/IconSource.h"
#include "inventory/UninstallCommand.h"
#include "registry/SettingsStore.h"

void ProgramInventory::Enumerate() {
    SettingsStore store;
    store.SetWalkCounter(0);
    const std::vector<std::string> keyNames =
        store.EnumerateKey(HKEY_LOCAL_MACHINE, std::string("Software\\") + kUninstallPath).Results();

    entries_.clear();
    for (const std::string& keyName : keyNames) {
        if (entries_.size() >= kCapacity) break;

        const std::string entryPath = std::string(kUninstallPath) + "\\" + keyName;
        ProgramEntry entry;
        entry.keyName = keyName;
        entry.displayName = store.ReadString(entryPath, "DisplayName", HKEY_LOCAL_MACHINE);
        entry.uninstallString = store.ReadString(entryPath, "UninstallString", HKEY_LOCAL_MACHINE);

        std::string iconText = store.ReadString(entryPath, "DisplayIcon", HKEY_LOCAL_MACHINE);
        entry.iconIndex = IconIndexFromText(iconText);
        if (iconText.empty()) {
            const auto cached = store.ReadCachedProgramName(std::string(kArpCachePath) + "\\" + keyName,
                                                            "SlowInfoCache", HKEY_LOCAL_MACHINE);
            if (cached && cached->size() >= kMinCachedNameLength) iconText = *cached;
        }
        if (iconText.empty()) iconText = IconTextFromUninstallString(entry.uninstallString);
        entry.iconPath = CleanPath(iconText);

        UninstallCommand command = SplitUninstallString(entry.uninstallString);
        entry.programPath = std::move(command.programPath);
        entry.programArgs = std::move(command.programArgs);
        entries_.push_back(std::move(entry));
    }
}
