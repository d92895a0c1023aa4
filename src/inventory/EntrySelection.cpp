#include "inventory/EntrySelection.h"

#include <mbstring.h>

#include "BuildConfig.h"
#include "registry/RegistryExport.h"

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                   reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
}

}  // namespace

SelectedEntry FindSelectedEntry(const fw::ListView& list, const ProgramInventory& inventory) {
    SelectedEntry selected;
    selected.row = list.FirstSelected();
    if (selected.row < 0) return selected;

    selected.rowText = list.GetItemText(selected.row, 0);
    const std::string rowCommand = list.GetItemText(selected.row, 1);
    for (const ProgramEntry& entry : inventory.Entries()) {
        if (SameText(entry.displayName, selected.rowText) && SameText(entry.uninstallString, rowCommand)) {
            selected.entry = entry;
            break;
        }
    }
    return selected;
}

bool IsStillListed(const fw::ListView& list, const std::string& displayName) {
    bool listed = false;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (SameText(list.GetItemText(row, 0), displayName)) listed = true;  // every row is compared
    }
    return listed;
}

std::string InvalidSelectionText(const std::string& rowText) {
    return "Invalid program selected: " + rowText + "\nPlease contact " ZALTROW_MAKER_HOST " for support.";
}

std::string RemoveQuestionText(const std::string& displayName) {
    return displayName + "\n\nDo you wish to remove this entry from the Add/Remove Programs list?";
}

std::string RemovalFailedText(EntrySource source, const std::string& keyName) {
    // The key as the registry editor names it: a 32-bit view key on 64-bit
    // Windows is under Wow6432Node, whichever build reads it.
    return "There was a problem removing the program entry\n" +
           RegistryExport::NameInFile(SourceRoot(source), SourceView(source),
                                      std::string("Software\\") + ProgramInventory::kUninstallPath) +
           "\\" + keyName;
}

std::string RemovedText(const std::string& displayName) {
    return displayName + " was successfully removed from the Add/Remove Programs list.";
}

std::string BackupNotWrittenText(const std::string& where, const std::string& reason) {
    return "The program entry was not removed: its backup could not be written to\n" + where + "\n" + reason;
}

std::string BackupNotReadText(const std::string& key, const std::string& reason) {
    return "The program entry was not removed: its backup could not be read from\n" + key + "\n" + reason;
}
