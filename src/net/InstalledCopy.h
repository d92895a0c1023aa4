#pragma once
// The installed copy an upgrade replaces: the running program's own folder
// (its file, never the working folder) and the program's Add/Remove
// Programs entry, read as UTF-16 in the program's own registry view (the
// 64-bit one for the x86_64 build, the 32-bit one for the i686 build).

#include <windows.h>

#include <optional>
#include <string>

class InstalledCopy {
public:
    // The values of the entry the setup writes.
    struct Entry {
        std::wstring installLocation;
        std::wstring displayVersion;
        std::wstring displayIcon;  // the program file
    };

    // The folder of the running program's file; empty if it cannot be read.
    static std::wstring ProgramFolder();

    // The entry HKLM\...\Uninstall\<product> in the program's own view, or
    // none when there is no such key.
    static std::optional<Entry> ReadEntry(const std::wstring& product);

    // Whether two paths name the same folder: full paths, long names, no
    // trailing backslash, letter case ignored.
    static bool SameFolder(const std::wstring& a, const std::wstring& b);
};
