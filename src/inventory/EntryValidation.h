#pragma once
// Judging an entry a phantom: its uninstaller names a drive path and that
// file is gone from the disk.

#include <string>
#include <string_view>

// Paths longer than this are not tested (see FileExists).
constexpr std::size_t kMaxTestedPathChars = 999;

// 1 when the file counts as present, 0 when it is missing. Only "no such
// file or folder" counts as missing: a file that exists but cannot be
// opened (in use, access denied, a folder) is present. A path too long to
// test counts as present, so nothing untested is ever called missing.
int FileExists(const std::string& path);

// True when the path names a drive (contains ":\"); bare program names,
// network paths and environment references never do.
bool NamesDrivePath(std::string_view programPath);

// True when programPath names a drive path whose file is missing.
bool IsPhantom(const std::string& programPath);
