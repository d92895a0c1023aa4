#include "RegistryEditor.h"

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"

unsigned long ImportWithRegedit(const std::filesystem::path& file) {
    std::wstring command = L"regedit.exe /s \"" + file.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0xFFFFFFFF;
    fw::KernelHandle thread(process.hThread), owner(process.hProcess);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}
