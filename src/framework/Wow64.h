#pragma once
// Whether this 32-bit process runs on 64-bit Windows, where the registry
// and the system folder have a second, 64-bit view.

#include <windows.h>

namespace fw {

inline bool RunsUnderWow64() {
    // Looked up at run time: the call is missing before XP SP2.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    static const bool wow64 = [] {
        const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
        BOOL result = FALSE;
        return isWow64Process && isWow64Process(GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

}  // namespace fw
