#include "inventory/EntrySelection.h"

#include "BuildConfig.h"
#include "registry/RegistryExport.h"

SelectedEntry FindSelectedEntry(const fw::ListView& list, const EntryOfRow& entryOfRow) {
    SelectedEntry selected;
    selected.row = list.FirstSelected();
    if (selected.row < 0) return selected;
    selected.rowText = list.GetItemText(selected.row, 0);
    if (const ProgramEntry* entry = entryOfRow(selected.row)) selected.entry = *entry;
    return selected;
}

bool IsStillListed(const fw::ListView& list, const EntryOfRow& entryOfRow, const ProgramEntry& entry) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const ProgramEntry* shown = entryOfRow(row);
        if (shown && SameEntry(*shown, entry)) return true;
    }
    return false;
}

// A 32-bit view key on 64-bit Windows is under Wow6432Node, whichever build
// reads it.
std::wstring EntryKeyName(const ListRef& list, const std::wstring& keyName) {
    return RegistryExport::NameInFile(SourceRoot(list.source), SourceView(list.source),
                                      ListKeyPath(list, ProgramInventory::kUninstallPath)) +
           L"\\" + keyName;
}

std::wstring InvalidSelectionText(const std::wstring& rowText) {
    return L"Invalid program selected: " + rowText + L"\nPlease contact " ZALTROW_MAKER_HOST " for support.";
}

std::wstring RemoveQuestionText(const std::wstring& displayName) {
    return displayName + L"\n\nDo you wish to remove this entry from the Add/Remove Programs list?";
}

std::wstring RemovalFailedText(const ListRef& list, const std::wstring& keyName, const std::wstring& reason) {
    return L"There was a problem removing the program entry\n" + EntryKeyName(list, keyName) + L"\n" + reason;
}

std::wstring NoLongerListedText(const std::wstring& displayName) {
    return displayName + L" is no longer in the list.";
}

std::wstring RemovedText(const std::wstring& displayName) {
    return displayName + L" was successfully removed from the Add/Remove Programs list.";
}

std::wstring BackupNotWrittenText(const std::wstring& where, const std::wstring& reason) {
    return L"The program entry was not removed: its backup could not be written to\n" + where + L"\n" + reason;
}

std::wstring BackupNotReadText(const std::wstring& key, const std::wstring& reason) {
    return L"The program entry was not removed: its backup could not be read from\n" + key + L"\n" + reason;
}

std::wstring LaunchFailedText(const std::wstring& displayName, const std::wstring& file, const std::wstring& reason) {
    std::wstring why = reason;
    if (const std::size_t insert = why.find(L"%1"); insert != std::wstring::npos) why.replace(insert, 2, file);
    return displayName + L"\n\nThe uninstall program could not be started:\n" + file + L"\n\n" + why;
}

std::wstring EntryInfoTip(const ProgramEntry& entry) {
    return std::wstring(SourceDescription(entry.source)) + L"\n" + EntryKeyName(ListOf(entry), entry.keyName);
}
