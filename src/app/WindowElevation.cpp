#include "app/WindowElevation.h"

#include <optional>

#include "framework/ClosedToInput.h"
#include "framework/ElevatedStart.h"
#include "framework/MessageWait.h"
#include "framework/UniqueHandle.h"
#include "framework/WaitCursor.h"

namespace {

// How often the step's output is looked at while nothing else happens.
constexpr DWORD kReadEveryMs = 100;

}  // namespace

ElevatedRunner WindowElevation(HWND owner, bool keepsInput) {
    return [owner, keepsInput](const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                               DWORD& exitCode, const std::function<void()>& whileWaiting) -> DWORD {
        fw::KernelHandle process;
        if (const DWORD error = fw::ElevatedStart::Start(file, arguments, folder, process, owner, SW_HIDE))
            return error;
        {
            std::optional<fw::ClosedToInput> closed;
            std::optional<fw::WaitCursor> busy;
            if (!keepsInput) {
                closed.emplace(owner);
                busy.emplace();
            }
            // Asked to end first, it stops waiting (the program is ending;
            // the WM_QUIT is in the queue again): only what the step has
            // written by then is read.
            fw::WaitHandlingMessages(
                process.get(),
                [&] {
                    if (whileWaiting) whileWaiting();
                    return false;
                },
                kReadEveryMs);
        }
        GetExitCodeProcess(process.get(), &exitCode);
        return ERROR_SUCCESS;
    };
}
