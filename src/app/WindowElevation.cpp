#include "app/WindowElevation.h"

#include "framework/ElevatedStart.h"
#include "framework/MessageWait.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"

ElevatedRunner WindowElevation(HWND owner) {
    return [owner](const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                   DWORD& exitCode) -> DWORD {
        fw::KernelHandle process;
        if (const DWORD error = fw::ElevatedStart::Start(file, arguments, folder, process, owner, SW_HIDE))
            return error;
        const bool enabled = owner && IsWindowEnabled(owner);
        if (enabled) EnableWindow(owner, FALSE);
        {
            const fw::WaitCursor busy;
            // Asked to end first, it stops waiting (the program is ending;
            // the WM_QUIT is in the queue again): only what the step has
            // written by then is read.
            fw::WaitHandlingMessages(process.get());
        }
        if (enabled) EnableWindow(owner, TRUE);
        GetExitCodeProcess(process.get(), &exitCode);
        return ERROR_SUCCESS;
    };
}
