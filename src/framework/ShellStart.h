#pragma once
// A program or document started by the shell (ShellExecuteEx) with a verb:
// null for the default one (what a double-click does), "runas" for
// administrator rights (ElevatedStart.h adds the consent's test aid). The
// shell shows no box of its own: the caller says what went wrong.

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

class ShellStart {
public:
    // Starts `file` with `args` in `folder` (empty: this process's current
    // folder). ERROR_SUCCESS with `process` holding the started process,
    // when the shell gives one; else the shell's reason, `process` empty.
    static DWORD Start(const wchar_t* verb, const std::wstring& file, const std::wstring& args,
                       const std::wstring& folder, KernelHandle& process, HWND owner = nullptr,
                       int show = SW_SHOWNORMAL);
};

}  // namespace fw
