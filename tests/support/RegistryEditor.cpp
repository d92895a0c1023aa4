#include "RegistryEditor.h"

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"
#include "framework/Wow64.h"

unsigned long ImportWithRegedit(const std::filesystem::path& file) {
    // The one a double-click starts: on 64-bit Windows the 64-bit editor in
    // the Windows folder, which a 32-bit process reaches only with file
    // redirection off (it is otherwise shown the 32-bit one).
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(windows) + L"\\regedit.exe\" /s \"" + file.wstring() + L"\"";
    const bool wow64 = fw::RunsUnderWow64();
    PVOID redirection = nullptr;
    if (wow64) Wow64DisableWow64FsRedirection(&redirection);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    if (wow64) Wow64RevertWow64FsRedirection(redirection);
    if (!started) return 0xFFFFFFFF;
    fw::KernelHandle thread(process.hThread), owner(process.hProcess);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}
