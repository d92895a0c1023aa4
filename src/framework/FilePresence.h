#pragma once
// Whether a file is gone. Only the file system's own "no such file" or "no
// such folder" under a drive or share that is there means gone; everything
// else (access denied, a name the file system refuses, a drive letter with
// no volume, a drive that is not ready, a network path that cannot be
// reached now) is no proof that it is gone, so it counts as there.

#include <functional>
#include <string>
#include <string_view>

namespace fw {

// Told of every path FileAttributes asks the file system about (and so
// FileIsMissing), for tests that show which paths are never touched; none
// by default.
using FileQueryObserver = std::function<void(const std::wstring& path)>;
void SetFileQueryObserver(FileQueryObserver observer);

bool FileIsMissing(const std::wstring& path);

// The file's attributes as GetFileAttributesW gives them, for paths of any
// length Windows takes (a long one through its \\?\ form).
unsigned long FileAttributes(const std::wstring& path);

// Pure rules:
// The root a path stands on: "C:\" for "C:\..." and "\\server\share\" for
// "\\server\share\..."; empty for any other path.
std::wstring PathRoot(std::wstring_view path);
// The form in which a path past the old 260-character limit reaches the
// file system: "\\?\C:\..." or "\\?\UNC\server\share\...". Empty when
// the path cannot take that form as it is written (not absolute, or with
// "/", "." or ".." parts, which that form does not resolve).
std::wstring LongPathForm(std::wstring_view path);
// Whether opening the path may reach another machine: it starts with two
// slashes of either kind (\\host\share, \\?\UNC\..., \\host@80\ for
// WebDAV, a device path), except a drive path in the \\?\ or \\.\ form.
// A drive letter later in such a path ("\\h\s\C:\x.exe") changes
// nothing: the path still goes to the host.
bool IsNetworkPath(std::wstring_view path);

}  // namespace fw
