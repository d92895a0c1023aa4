#pragma once
// One Add/Remove Programs entry as the inventory read it. Validity is not
// stored: it is judged from programPath when the list is filled.

#include <string>

#include "inventory/EntrySource.h"

struct ProgramEntry {
    EntrySource source = EntrySource::Machine;  // the Uninstall key it is listed in
    std::string keyName;          // subkey name under that Uninstall key
    std::string displayName;      // "DisplayName", empty when absent
    std::string uninstallString;  // "UninstallString" exactly as stored
    std::string programPath;      // the uninstaller's file, split off uninstallString
    std::string programArgs;      // the rest of uninstallString
    std::string iconPath;         // file whose icon shows the entry, possibly empty
    int iconIndex = 0;            // icon number within iconPath, 0-9
};
