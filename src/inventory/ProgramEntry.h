#pragma once
// One Add/Remove Programs entry as the inventory read it. Validity is not
// stored: it is judged when the list is filled, from productCode or else
// from programPath. Every text is UTF-16, exactly as the registry holds it.

#include <cstdint>
#include <string>

#include "inventory/EntrySource.h"

struct ProgramEntry {
    EntrySource source = EntrySource::Machine;  // the Uninstall key it is listed in
    std::wstring userSid;           // the account of another user's list; empty otherwise
    std::wstring keyName;           // subkey name under that Uninstall key
    std::wstring displayName;       // "DisplayName", empty when absent or not text
    std::wstring uninstallString;   // "UninstallString" exactly as stored
    // What the command is judged by and started as: uninstallString, with
    // its %NAME% references expanded when it is stored as REG_EXPAND_SZ.
    std::wstring command;
    // The command cannot be judged here: it needs another user's variable
    // that is not known, or is longer than Windows can start. It counts as
    // present.
    bool commandUnknown = false;
    std::wstring programPath;       // the uninstaller's file, split off command
    std::wstring programArgs;       // the rest of command
    std::wstring iconPath;          // file whose icon shows the entry, possibly empty
    int iconIndex = 0;              // icon number within iconPath, 0-9
    // A Windows Installer entry's product code ("{...}"), by which Windows
    // Installer is asked whether the product is still known; empty for other
    // entries, which are judged by their uninstaller's file.
    std::wstring productCode;
    bool systemComponent = false;   // "SystemComponent" is 1: Windows does not list it
    // "ParentKeyName": an update names the entry of the product it updates.
    std::wstring parentKeyName;
    // What the entry says about its program, for reports and properties.
    std::wstring publisher;             // "Publisher"
    std::wstring displayVersion;        // "DisplayVersion"
    std::wstring installLocation;       // "InstallLocation"
    std::wstring installDate;           // "InstallDate", usually YYYYMMDD
    std::wstring quietUninstallString;  // "QuietUninstallString"
    // What that one starts: expanded as command is.
    std::wstring quietCommand;
    std::uint32_t estimatedSizeKb = 0;  // "EstimatedSize", in KB; 0 when absent
};

inline ListRef ListOf(const ProgramEntry& entry) { return {entry.source, entry.userSid}; }

// The same entry: the same key of the same list. Names may repeat across
// keys and lists; a key name is unique within its list.
inline bool SameEntry(const ProgramEntry& a, const ProgramEntry& b) {
    return a.source == b.source && a.userSid == b.userSid && a.keyName == b.keyName;
}

// One text per entry, equal exactly when SameEntry holds: a key for sets.
inline std::wstring EntryIdentity(const ProgramEntry& entry) {
    return std::to_wstring(static_cast<int>(entry.source)) + L'|' + entry.userSid + L'|' + entry.keyName;
}
