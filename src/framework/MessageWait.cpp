#include "framework/MessageWait.h"

namespace fw {

namespace {

// The top-level dialog a message is for, if it is for one.
HWND DialogOf(HWND window) {
    if (!window) return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    char className[16] = {};
    if (!root || !GetClassNameA(root, className, sizeof className)) return nullptr;
    return lstrcmpA(className, "#32770") == 0 ? root : nullptr;
}

}  // namespace

void HandleQueuedMessages(std::optional<int>& quit) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = static_cast<int>(msg.wParam);
            continue;
        }
        HWND dialog = DialogOf(msg.hwnd);
        if (!dialog || !IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

WaitEnd WaitHandlingMessages(HANDLE handle, const std::function<bool()>& stop, DWORD periodMs) {
    for (;;) {
        // MWMO_INPUTAVAILABLE: input already in the queue wakes it too, not
        // only input that arrives from now on.
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, periodMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0) return WaitEnd::Signalled;
        if (woke == WAIT_TIMEOUT) {
            if (stop && stop()) return WaitEnd::Stopped;
            continue;
        }
        if (woke != WAIT_OBJECT_0 + 1) return WaitEnd::Failed;
        std::optional<int> quit;
        HandleQueuedMessages(quit);
        if (quit) {
            PostQuitMessage(*quit);
            return WaitEnd::Quit;
        }
        if (stop && stop()) return WaitEnd::Stopped;
    }
}

}  // namespace fw
