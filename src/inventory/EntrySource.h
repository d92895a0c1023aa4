#pragma once
// The Add/Remove Programs lists an entry can come from. Windows keeps three
// that a user sees as one: the machine-wide Uninstall key in each registry
// view of a 64-bit system, and the per-user key of programs installed for
// one user only.

#include <windows.h>

#include <string>
#include <vector>

enum class EntrySource {
    Machine,    // HKLM as this process sees it: the 32-bit view under WOW64
    Machine64,  // HKLM's 64-bit view; read only when running under WOW64
    User,       // HKCU: per-user installs
};

// The predefined root key, and the view flag every open in the source needs.
HKEY SourceRoot(EntrySource source);
REGSAM SourceView(EntrySource source);
// "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER", for messages.
const wchar_t* SourceRootName(EntrySource source);
// Whose list it is, in words: machine-wide for 64-bit or 32-bit programs,
// or this user's.
const wchar_t* SourceDescription(EntrySource source);

// The sources to read on this system, in reading order: the machine-wide
// key first, so a 32-bit system lists its machine entries as before.
std::vector<EntrySource> SystemSources();

// How this process must write a file path of the source to reach that file:
// under WOW64 a 64-bit entry's "<windows>\System32\..." goes through the
// Sysnative alias, since Windows shows this process the 32-bit system folder
// in its place. Other paths come back as they are.
std::wstring FileOfSource(const std::wstring& path, EntrySource source);
