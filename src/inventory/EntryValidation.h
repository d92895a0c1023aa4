#pragma once
// Judging an entry a phantom: its uninstaller names a drive path and that
// file is gone from the disk, or it is a Windows Installer entry whose
// product Windows Installer no longer knows.

#include <string>
#include <string_view>

#include "inventory/ProgramEntry.h"

// Paths longer than Windows takes are not tested (see FileExists).
constexpr std::size_t kMaxTestedPathChars = 32767;

// 1 when the file counts as present, 0 when it is missing. Only the file
// system's "no such file" or "no such folder" under a drive or share that
// is there counts as missing: a file in use, access denied, a folder, a
// name the file system refuses and a drive or share that is absent or
// cannot be reached now are all present. A path too long to test counts
// as present, so nothing untested is ever called missing.
int FileExists(const std::wstring& path);

// True when the path names a drive (contains ":\"); bare program names,
// network paths and environment references never do.
bool NamesDrivePath(std::wstring_view programPath);

// The split-off program path alone: true when it names a drive path whose
// file is missing.
bool IsPhantom(const std::wstring& programPath);

// What the Uninstall command starts for an entry, and whether its row is red.
struct UninstallTarget {
    std::wstring file;
    std::wstring args;
    bool phantom = false;
    // Why it is a phantom, in words; for one that is not, why its file was
    // not looked at (NetworkPathText); empty otherwise.
    std::wstring reason;
};

// A Windows Installer entry (one with a product code) is a phantom exactly
// when Windows Installer no longer knows its product; its command is the
// one started. Any other entry: the program path as split, unless it is
// missing and the command really names another file that exists: a quoted
// path whose folder has a comma, or an unquoted one with blanks that does
// not end in ".exe". Such an entry is a phantom only when neither exists.
// A command that cannot be judged (ProgramEntry::commandUnknown) is not.
// Entries of the other registry view are tested and started through that
// bitness's system folder.
UninstallTarget ResolveUninstaller(const ProgramEntry& entry);

// The row of this entry is red.
inline bool IsPhantom(const ProgramEntry& entry) { return ResolveUninstaller(entry).phantom; }

// The reasons, in words.
std::wstring MissingUninstallerText(const std::wstring& file);
// A path that was not looked at (MayOpenNetworkPaths).
std::wstring NetworkPathText(const std::wstring& file);
// Whether the entry's paths may be opened when they lead to another
// machine: only for the running user's own list, and never as LocalSystem.
// Otherwise such a command counts as there, with NetworkPathText as its
// reason, and such an icon is not extracted.
bool MayOpenNetworkPaths(const ProgramEntry& entry);
std::wstring UnknownProductText(const std::wstring& productCode);
