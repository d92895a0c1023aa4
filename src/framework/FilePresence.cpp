#include "framework/FilePresence.h"

#include <windows.h>

namespace fw {

namespace {

FileQueryObserver observer;

DWORD QueryAttributes(const std::wstring& path) {
    if (observer) observer(path);
    return GetFileAttributesW(path.c_str());
}

}  // namespace

void SetFileQueryObserver(FileQueryObserver next) { observer = std::move(next); }

std::wstring PathRoot(std::wstring_view path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')))
        return std::wstring(path.substr(0, 3));
    if (path.starts_with(L"\\\\") && !path.starts_with(L"\\\\?\\") && !path.starts_with(L"\\\\.\\")) {
        const std::size_t server = path.find(L'\\', 2);
        if (server == std::wstring_view::npos || server == 2) return {};
        const std::size_t share = path.find(L'\\', server + 1);
        if (share == server + 1) return {};
        return std::wstring(path.substr(0, share)) + L"\\";
    }
    return {};
}

bool IsNetworkPath(std::wstring_view path) {
    const auto slash = [&](std::size_t i) { return i < path.size() && (path[i] == L'\\' || path[i] == L'/'); };
    if (!slash(0) || !slash(1)) return false;
    // \\?\C:\ and \\.\C:\ name a local drive.
    const bool prefix = path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && slash(3);
    if (!prefix) return true;
    const wchar_t drive = path.size() > 4 ? path[4] : L'\0';
    const bool letter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    return !(letter && path.size() > 5 && path[5] == L':');
}

std::wstring LongPathForm(std::wstring_view path) {
    const std::wstring root = PathRoot(path);
    if (root.empty() || path.find(L'/') != std::wstring_view::npos) return {};
    // Every part after the root must be a plain name.
    for (std::size_t start = root.size(); start < path.size();) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view part = path.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..") return {};
        start = end + 1;
    }
    if (root[0] == L'\\') return L"\\\\?\\UNC\\" + std::wstring(path.substr(2));
    return L"\\\\?\\" + std::wstring(path);
}

unsigned long FileAttributes(const std::wstring& path) {
    if (path.size() < MAX_PATH) return QueryAttributes(path);
    const std::wstring longForm = LongPathForm(path);
    if (longForm.empty()) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_FILE_ATTRIBUTES;
    }
    return QueryAttributes(longForm);
}

bool FileIsMissing(const std::wstring& path) {
    // The attributes are had without opening the file, so a file in use
    // or locked against reading is found all the same.
    if (FileAttributes(path) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
    // "Not found" is proof only where the drive or share itself is there:
    // an unplugged disk answers the same for every path on it.
    const std::wstring root = PathRoot(path);
    return !root.empty() && QueryAttributes(root) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace fw
