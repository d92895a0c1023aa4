#include "inventory/ProgramInventory.h"

#include <optional>
#include <string>
#include <unordered_set>

#include "framework/ParallelFor.h"
#include "framework/SystemErrorText.h"
#include "inventory/IconSource.h"
#include "inventory/InstallerCommand.h"
#include "inventory/ListEnvironment.h"
#include "inventory/UninstallCommand.h"
#include "registry/UninstallRegistry.h"

namespace {

// The product a Windows Installer entry is registered for: its key name
// when that is a product code, else the code its command runs msiexec on.
// Empty for other entries, and for one without a well-formed code. The
// "WindowsInstaller" value is read only where it decides something.
std::wstring ProductCodeOf(HKEY values, const std::wstring& keyName, const std::wstring& command) {
    std::optional<std::wstring> fromCommand = installer_command::ProductCodeOfCommand(command);
    if (installer_command::IsProductCode(keyName) &&
        (fromCommand || UninstallRegistry::ReadNumber(values, L"WindowsInstaller") == 1))
        return keyName;
    return fromCommand.value_or(std::wstring());
}

// A text value as it is to be used: expanded for this list when it is
// stored as REG_EXPAND_SZ, as written otherwise.
Expansion UsableText(const std::optional<UninstallRegistry::Text>& value, const ListEnvironment& environment) {
    if (!value) return {};
    if (!value->expandable) return {value->text, false};
    return environment.Expand(value->text);
}

void ReadValues(HKEY values, ProgramEntry& entry, std::wstring& iconText, const ListEnvironment& environment) {
    entry.displayName = UninstallRegistry::ReadTextOrEmpty(values, L"DisplayName");
    const std::optional<UninstallRegistry::Text> command = UninstallRegistry::ReadText(values, L"UninstallString");
    if (command) entry.uninstallString = command->text;
    Expansion usable = UsableText(command, environment);
    entry.command = std::move(usable.text);
    entry.commandUnknown = usable.unresolved || entry.command.size() > ProgramInventory::kMaxCommandChars;
    iconText = UsableText(UninstallRegistry::ReadText(values, L"DisplayIcon"), environment).text;
    entry.systemComponent = UninstallRegistry::ReadNumber(values, L"SystemComponent") == 1;
    entry.productCode = ProductCodeOf(values, entry.keyName, entry.command);
    entry.parentKeyName = UninstallRegistry::ReadTextOrEmpty(values, L"ParentKeyName");
    entry.publisher = UninstallRegistry::ReadTextOrEmpty(values, L"Publisher");
    entry.displayVersion = UninstallRegistry::ReadTextOrEmpty(values, L"DisplayVersion");
    entry.installLocation = UninstallRegistry::ReadTextOrEmpty(values, L"InstallLocation");
    entry.installDate = UninstallRegistry::ReadTextOrEmpty(values, L"InstallDate");
    const std::optional<UninstallRegistry::Text> quiet = UninstallRegistry::ReadText(values, L"QuietUninstallString");
    if (quiet) entry.quietUninstallString = quiet->text;
    // One that cannot be expanded here is not run: it would start something else.
    if (Expansion expanded = UsableText(quiet, environment); !expanded.unresolved) entry.quietCommand = std::move(expanded.text);
    entry.estimatedSizeKb = UninstallRegistry::ReadNumber(values, L"EstimatedSize");
}

}  // namespace

std::wstring ProgramInventory::ShortfallText(const std::vector<Shortfall>& shortfalls, ListNames names) {
    std::wstring text;
    for (const Shortfall& shortfall : shortfalls) {
        if (!text.empty()) text += L"; ";
        if (names == ListNames::CommandLine) {
            text += ListName(shortfall.list);
        } else {
            text += SourceDescription(shortfall.list.source);
            if (shortfall.list.source == EntrySource::OtherUser) text += L" (" + shortfall.list.userSid + L")";
        }
        text += shortfall.error != ERROR_SUCCESS
                    ? L": the list could not be read (" + fw::SystemErrorText(static_cast<DWORD>(shortfall.error)) + L")"
                    : L": " + std::to_wstring(shortfall.leftOut) + L" entries past the first " +
                          std::to_wstring(kCapacity);
    }
    return text;
}

void ProgramInventory::Enumerate(bool allUsers) {
    entries_.clear();
    leftOut_ = 0;
    shortfalls_.clear();
    for (EntrySource source : SystemSources()) EnumerateList({source, {}});
    if (allUsers)
        for (const std::wstring& sid : OtherUserSids()) EnumerateList({EntrySource::OtherUser, sid});
}

void ProgramInventory::EnumerateList(const ListRef& list) {
    const HKEY root = SourceRoot(list.source);
    const REGSAM view = SourceView(list.source);
    const std::wstring uninstallPath = ListKeyPath(list, kUninstallPath);

    UninstallRegistry walk;
    const std::vector<std::wstring> keyNames =
        walk.EnumerateKey(root, uninstallPath, view, kCapacity).Results();
    leftOut_ += walk.Unlisted();
    if (walk.Unlisted() > 0 || walk.WalkError() != ERROR_SUCCESS)
        shortfalls_.push_back({list, walk.Unlisted(), walk.WalkError()});
    if (keyNames.empty()) return;

    // Entry keys are opened relative to their parents, once each: a path
    // from the root can pass the registry's path limit with a long key
    // name, and one open per value costs more than the reads.
    const fw::RegKey uninstallKey = UninstallRegistry::OpenForReading(root, uninstallPath, view);
    const std::wstring cachePath = ListKeyPath(list, kArpCachePath);
    const fw::RegKey cacheKey = UninstallRegistry::OpenForReading(root, cachePath, view);
    // The cache's records, named once: looking up a record that is not
    // there costs as much as reading one, and most entries have none.
    std::unordered_set<std::wstring> cached;
    if (cacheKey) {
        const std::vector<std::wstring>& records = walk.EnumerateKey(root, cachePath, view).Results();
        cached.insert(records.begin(), records.end());
    }
    const ListEnvironment environment(list);

    // Each entry is read on its own, into its own slot, so two threads can
    // share the reads; the order stays the registry's.
    const std::size_t first = entries_.size();
    entries_.resize(first + keyNames.size());
    fw::ParallelFor(keyNames.size(), [&](std::size_t i) {
        const std::wstring& keyName = keyNames[i];
        ProgramEntry& entry = entries_[first + i];
        entry.source = list.source;
        entry.userSid = list.userSid;
        entry.keyName = keyName;
        std::wstring iconText;
        // One open per entry for all its values.
        if (const fw::RegKey values =
                uninstallKey ? UninstallRegistry::OpenForReading(uninstallKey.get(), keyName, view) : fw::RegKey())
            ReadValues(values.get(), entry, iconText, environment);
        entry.iconIndex = IconIndexFromText(iconText);
        if (iconText.empty() && cached.contains(keyName)) {
            const auto name = UninstallRegistry::ReadCachedProgramName(cacheKey.get(), keyName, L"SlowInfoCache", view);
            if (name && name->size() >= kMinCachedNameLength) iconText = *name;
        }
        if (iconText.empty()) iconText = IconTextFromUninstallString(entry.command);
        entry.iconPath = FileOfSource(CleanPath(iconText), list.source);

        UninstallCommand command = SplitUninstallString(entry.command);
        entry.programPath = std::move(command.programPath);
        entry.programArgs = std::move(command.programArgs);
    });
}
