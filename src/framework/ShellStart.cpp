#include "framework/ShellStart.h"

#include <shellapi.h>

namespace fw {

DWORD ShellStart::Start(const wchar_t* verb, const std::wstring& file, const std::wstring& args,
                        const std::wstring& folder, KernelHandle& process, HWND owner, int show) {
    process.reset();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // NOASYNC, since the caller may end soon after.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = args.empty() ? nullptr : args.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = show;
    SetLastError(ERROR_SUCCESS);
    const BOOL done = ShellExecuteExW(&info);
    const DWORD error = GetLastError();
    KernelHandle started(info.hProcess);
    if (done && reinterpret_cast<INT_PTR>(info.hInstApp) > 32) {
        process = std::move(started);
        return ERROR_SUCCESS;
    }
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

}  // namespace fw
