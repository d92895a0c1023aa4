#pragma once
// Starts a program with administrator rights: the shell's "runas"
// (ShellStart.h), so Windows asks the user for consent (one prompt), or
// for an administrator's password where the user is none. Without UAC (Wine, or
// UAC turned off) the program simply starts with the rights there are.
//
// The test aid of RunningAccount.h ("standard-refused") stands for a user
// who refuses the prompt: nothing is started and the answer is
// ERROR_CANCELLED, as Windows gives it. Every elevated start of the
// program is this one, the uninstaller's retry (ProcessTree.h) included.

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

class ElevatedStart {
public:
    // Starts `file` (a full path) with `args` in `folder` (empty: the
    // started program's own folder), its prompt owned by `owner` (may be
    // null). ERROR_SUCCESS with `process` holding the started process (to
    // wait for it or read its exit code), ERROR_CANCELLED when the user
    // refused, or Windows' reason why it could not be started; `process`
    // is then empty.
    static DWORD Start(const std::wstring& file, const std::wstring& args, const std::wstring& folder,
                       KernelHandle& process, HWND owner = nullptr, int show = SW_SHOWNORMAL);
};

}  // namespace fw
