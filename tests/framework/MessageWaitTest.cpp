// fw::WaitHandlingMessages: what ends the wait, that messages are handled
// meanwhile, and that a WM_QUIT it meets is back in the queue with its code.

#include "framework/MessageWait.h"

#include <gtest/gtest.h>

#include "framework/UniqueHandle.h"

namespace {

constexpr UINT kSignal = WM_APP + 1;  // sets the event when handled
constexpr UINT kCount = WM_APP + 2;   // only counted
int handled = 0;
HANDLE event = nullptr;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kSignal && message != kCount) return DefWindowProcW(window, message, wParam, lParam);
    ++handled;
    if (message == kSignal) SetEvent(event);
    return 0;
}

}  // namespace

TEST(MessageWait, EndsOnTheHandleAQuitOrTheStopAndHandlesMessagesMeanwhile) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZaltrowMessageWaitTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    struct Case {
        const char* name;
        bool signalled;  // the process has ended before the wait
        UINT posted;     // 0, kSignal or kCount
        int quitCode;    // -1: no WM_QUIT
        bool stop;
        fw::WaitEnd end;
        int handled;
        DWORD periodMs = INFINITE;
    };
    const Case cases[] = {
        {"the process ends first", true, 0, -1, false, fw::WaitEnd::Signalled, 0},
        {"a message is handled, then it ends", false, kSignal, -1, false, fw::WaitEnd::Signalled, 1},
        {"WM_QUIT comes first", false, 0, 7, false, fw::WaitEnd::Quit, 0},
        {"a message before WM_QUIT is handled", false, kCount, 9, false, fw::WaitEnd::Quit, 1},
        {"the stop says so", false, kCount, -1, true, fw::WaitEnd::Stopped, 1},
        {"with no message, the stop is asked each period", false, 0, -1, true, fw::WaitEnd::Stopped, 0, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fw::KernelHandle process(CreateEventW(nullptr, TRUE, c.signalled, nullptr));
        event = process.get();
        handled = 0;
        if (c.posted) PostMessageW(window, c.posted, 0, 0);
        if (c.quitCode >= 0) PostQuitMessage(c.quitCode);
        EXPECT_EQ(fw::WaitHandlingMessages(process.get(), [&] { return c.stop; }, c.periodMs), c.end);
        EXPECT_EQ(handled, c.handled);
        MSG quit{};
        const bool requeued = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(requeued, c.quitCode >= 0);
        if (requeued) {
            EXPECT_EQ(quit.wParam, static_cast<WPARAM>(c.quitCode));
        }
    }
    DestroyWindow(window);
}
