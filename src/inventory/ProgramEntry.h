#pragma once
// One Add/Remove Programs entry as the inventory read it. Validity is not
// stored: it is judged when the list is filled, from productCode or else
// from programPath. Every text is UTF-16, exactly as the registry holds it.

#include <string>

#include "inventory/EntrySource.h"

struct ProgramEntry {
    EntrySource source = EntrySource::Machine;  // the Uninstall key it is listed in
    std::wstring keyName;           // subkey name under that Uninstall key
    std::wstring displayName;       // "DisplayName", empty when absent
    std::wstring uninstallString;   // "UninstallString" exactly as stored
    std::wstring programPath;       // the uninstaller's file, split off uninstallString
    std::wstring programArgs;       // the rest of uninstallString
    std::wstring iconPath;          // file whose icon shows the entry, possibly empty
    int iconIndex = 0;              // icon number within iconPath, 0-9
    // A Windows Installer entry's product code ("{...}"), by which Windows
    // Installer is asked whether the product is still known; empty for other
    // entries, which are judged by their uninstaller's file.
    std::wstring productCode;
    bool systemComponent = false;   // "SystemComponent" is 1: Windows does not list it
};

// The same entry: the same key of the same list. Names may repeat across
// keys and lists; a key name is unique within its list.
inline bool SameEntry(const ProgramEntry& a, const ProgramEntry& b) {
    return a.source == b.source && a.keyName == b.keyName;
}
