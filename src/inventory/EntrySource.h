#pragma once
// The Add/Remove Programs lists an entry can come from. Windows keeps three
// that a user sees as one: the machine-wide Uninstall key in each registry
// view of a 64-bit system, and the per-user key of programs installed for
// one user only. Both builds read all of them on 64-bit Windows, each
// starting with its own view.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/RunningAccount.h"

enum class EntrySource {
    Machine,    // HKLM as this process sees it: the 32-bit view under WOW64
    Machine64,  // HKLM's 64-bit view; read only by the 32-bit build under WOW64
    Machine32,  // HKLM's 32-bit view (Wow6432Node); read only by the 64-bit build
    User,       // HKCU: per-user installs of the running account
    OtherUser,  // HKEY_USERS\<SID>: another loaded account's per-user installs
};

// One list: its source, and for another user's list that user's SID.
struct ListRef {
    EntrySource source = EntrySource::Machine;
    std::wstring userSid;  // OtherUser only
    bool operator==(const ListRef&) const = default;
};

// A list the running account may not change: the machine's, another user's
// (only the account's own list is ours without elevation).
bool NeedsAdministrator(const ListRef& list, fw::AccountRights rights);

// The predefined root key, and the view flag every open in the source needs.
HKEY SourceRoot(EntrySource source);
// A key of the list under its root: "Software\<underSoftware>", behind the
// user's SID for another user's list.
std::wstring ListKeyPath(const ListRef& list, std::wstring_view underSoftware);
REGSAM SourceView(EntrySource source);
// Whose list it is, in words: machine-wide for 64-bit or 32-bit programs,
// or this user's, or another user's.
const wchar_t* SourceDescription(EntrySource source);

// The list's name wherever lists are named to and by administrators (the
// command line's text, JSON and CSV, and its arguments): "machine-64",
// "machine-32" (the only machine list on 32-bit Windows), "user" and
// "user:<SID>". ParseListName is the way back, for the lists this system
// has; none for any other text.
std::wstring ListName(const ListRef& list);
std::optional<ListRef> ParseListName(std::wstring_view name);

// True for the SID of an account whose own list is read with the other
// users' lists: a local or domain account (S-1-5-21-...) or an Azure AD one
// (S-1-12-1-...); not a _Classes hive, .DEFAULT or a service account. Pure.
bool IsUserAccountSid(std::wstring_view name);
// The SIDs of the accounts loaded under HKEY_USERS whose lists are read
// with --all-users: every user account but the running one.
std::vector<std::wstring> OtherUserSids();

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
std::wstring FileOfSource(const std::wstring& path, EntrySource source);
