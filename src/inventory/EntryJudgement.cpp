#include "inventory/EntryJudgement.h"

#include <set>
#include <utility>

#include "framework/ParallelFor.h"
#include "framework/RegistryKey.h"
#include "inventory/EntrySelection.h"
#include "inventory/EntryValidation.h"

namespace {

// The lists in which an update's parent is looked for: the machine's two
// views are one list to a user.
std::wstring ParentScope(const ProgramEntry& entry) {
    switch (entry.source) {
    case EntrySource::User: return L"user";
    case EntrySource::OtherUser: return L"user:" + entry.userSid;
    default: return L"machine";
    }
}

}  // namespace

bool IsListed(const ProgramEntry& entry, bool parentExists) {
    if (entry.displayName.empty() || entry.uninstallString.empty() || entry.systemComponent) return false;
    return entry.parentKeyName.empty() || !parentExists;
}

std::vector<ListedEntry> ListEntries(const ProgramInventory& inventory) {
    const std::vector<ProgramEntry>& entries = inventory.Entries();
    std::set<std::pair<std::wstring, std::wstring>> keys;
    for (const ProgramEntry& entry : entries) keys.emplace(ParentScope(entry), fw::FoldedKeyName(entry.keyName));
    std::vector<ListedEntry> listed;
    for (const ProgramEntry& entry : entries) {
        const bool parentExists =
            !entry.parentKeyName.empty() && keys.contains({ParentScope(entry), fw::FoldedKeyName(entry.parentKeyName)});
        if (IsListed(entry, parentExists)) listed.push_back({&entry, false, {}, {}, {}});
    }
    // Each test asks the file system or Windows Installer on its own.
    fw::ParallelFor(listed.size(), [&](std::size_t i) {
        UninstallTarget target = ResolveUninstaller(*listed[i].entry);
        listed[i].phantom = target.phantom;
        listed[i].reason = std::move(target.reason);
        listed[i].file = std::move(target.file);
        listed[i].args = std::move(target.args);
    });
    return listed;
}

EntryFacts FactsOf(const ProgramEntry& entry, bool phantom, const std::wstring& reason,
                   const quiet_uninstall::QuietForm& quiet, const std::wstring& ownSid) {
    EntryFacts facts;
    facts.displayName = entry.displayName;
    facts.listWords = SourceDescription(entry.source);
    facts.keyName = EntryKeyName(ListOf(entry), entry.keyName);
    facts.publisher = entry.publisher;
    facts.version = entry.displayVersion;
    facts.installDate = entry.installDate;
    facts.sizeKb = entry.estimatedSizeKb;
    facts.installLocation = entry.installLocation;
    facts.uninstallCommand = entry.uninstallString;
    facts.quietUninstallCommand = entry.quietUninstallString;
    facts.quietUninstall = quiet.command;
    facts.quietBasis = quiet.basis;
    facts.productCode = entry.productCode;
    using Judgement = EntryFacts::Judgement;
    if (phantom)
        facts.judgement = Judgement::Missing;
    else if (entry.commandUnknown)
        facts.judgement = Judgement::Assumed;
    else if (!entry.productCode.empty())
        facts.judgement = Judgement::ProductKnown;
    else if (!NamesDrivePath(entry.programPath))  // a bare name or a share: not looked for
        facts.judgement = Judgement::Assumed;
    facts.reason = reason;
    facts.list = ListName(ListOf(entry));
    facts.userSid = entry.source == EntrySource::OtherUser ? entry.userSid
                    : entry.source == EntrySource::User    ? ownSid
                                                           : L"";
    facts.key = entry.keyName;
    return facts;
}
