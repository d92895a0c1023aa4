#pragma once
// DLLs loaded by name from here on (by the system on the program's behalf
// too) are looked for in the system folder only, never beside the program
// or in the working folder, where anyone may have put one of that name.
// Called first thing in both programs. Looked up at run time: Windows 7
// without KB2533623 lacks it, and its search then stays as it was.

#include <windows.h>

namespace fw {

inline bool SearchDllsInSystemFolderOnly() {
    constexpr DWORD kSystemFolderOnly = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    using Setter = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel ? reinterpret_cast<Setter>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                            : nullptr;
    return set && set(kSystemFolderOnly);
}

}  // namespace fw
