#pragma once
// The running program's file, read with a buffer that grows until the path
// fits: a program deep in a long folder must not be named by a cut path.

#include <windows.h>

#include <string>

namespace fw {

namespace module_path_detail {

// GetModuleFileNameA or W into a buffer that doubles until the path fits.
template <typename Char, typename Get>
std::basic_string<Char> Read(Get get) {
    std::basic_string<Char> path(MAX_PATH, Char{});
    for (;;) {
        const DWORD length = get(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace module_path_detail

// Empty when the path cannot be read.
inline std::string ModulePath() { return module_path_detail::Read<char>(GetModuleFileNameA); }

// The same in UTF-16, for a folder whose name the code page lacks.
inline std::wstring WideModulePath() { return module_path_detail::Read<wchar_t>(GetModuleFileNameW); }

}  // namespace fw
