#pragma once
// The Add/Remove Programs lists an entry can come from. Windows keeps three
// that a user sees as one: the machine-wide Uninstall key in each registry
// view of a 64-bit system, and the per-user key of programs installed for
// one user only. Both builds read all of them on 64-bit Windows, each
// starting with its own view.

#include <windows.h>

#include <string>
#include <vector>

enum class EntrySource {
    Machine,    // HKLM as this process sees it: the 32-bit view under WOW64
    Machine64,  // HKLM's 64-bit view; read only by the 32-bit build under WOW64
    Machine32,  // HKLM's 32-bit view (Wow6432Node); read only by the 64-bit build
    User,       // HKCU: per-user installs
};

// The predefined root key, and the view flag every open in the source needs.
HKEY SourceRoot(EntrySource source);
REGSAM SourceView(EntrySource source);

// The sources to read on this system, in reading order: the machine-wide
// key as this process sees it first, then its other view on 64-bit Windows,
// then the user's key.
std::vector<EntrySource> SystemSources();

// How this process must write a file path of the source to reach the file
// its installer meant: under WOW64 a 64-bit entry's "<windows>\System32\..."
// goes through the Sysnative alias, since Windows shows this process the
// 32-bit system folder in its place; in the 64-bit build a 32-bit entry's
// goes to SysWOW64, which is what its 32-bit installer saw there. Other
// paths come back as they are.
std::string FileOfSource(const std::string& path, EntrySource source);
