#include "framework/ElevatedStart.h"

#include <shellapi.h>

#include "framework/RunningAccount.h"

namespace fw {

DWORD ElevatedStart::Start(const std::wstring& file, const std::wstring& args, const std::wstring& folder,
                           KernelHandle& process, HWND owner, int show) {
    process.reset();
    if (ElevationPromptRefused()) return ERROR_CANCELLED;
    std::wstring directory = folder;
    if (directory.empty()) directory = file.substr(0, file.find_last_of(L'\\') + 1);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No box of the shell's own: the caller says what went wrong. NOASYNC,
    // since the caller may end soon after.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = args.empty() ? nullptr : args.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = show;
    SetLastError(ERROR_SUCCESS);
    BOOL done = FALSE;
    {
        const TestAidWithheld elevated;  // the started program is elevated, whatever this one takes itself for
        done = ShellExecuteExW(&info);
    }
    KernelHandle started(info.hProcess);
    if (done && reinterpret_cast<INT_PTR>(info.hInstApp) > 32) {
        process = std::move(started);
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace fw
