#include "app/SplashWindow.h"

#include <new>

#include "framework/UniqueHandle.h"
#include "resource.h"

namespace {
struct SplashTimerRecord {
    HWND splash;
};
}  // namespace

SplashWindow::SplashWindow() : fw::Dialog(IDD_SPLASH, nullptr) {}

bool SplashWindow::Start(HWND parent) {
    SetParent(parent);
    if (!Create()) return false;
    ShowWindow(Hwnd(), SW_SHOWNORMAL);

    auto* record = new (std::nothrow) SplashTimerRecord{Hwnd()};
    if (!record) return true;  // shown; a click or key still hides it
    fw::KernelHandle thread(CreateThread(nullptr, 0, &SplashTimer, record, 0, nullptr));
    if (!thread) delete record;
    return true;
}

bool SplashWindow::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    // The picture sizes itself to the bitmap; the window follows it, so a
    // dialog font wider or narrower than the designed one leaves no margin.
    HWND picture = GetWindow(Hwnd(), GW_CHILD);
    RECT pictureRect{};
    if (!picture || !GetWindowRect(picture, &pictureRect)) return true;
    RECT frame{0, 0, pictureRect.right - pictureRect.left, pictureRect.bottom - pictureRect.top};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(Hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(Hwnd(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool SplashWindow::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_LBUTTONDOWN && message != WM_KEYDOWN) return false;
    OnCancel();
    result = 0;
    return true;
}

DWORD WINAPI SplashTimer(LPVOID parameter) {
    auto* record = static_cast<SplashTimerRecord*>(parameter);
    Sleep(SplashWindow::kShowMilliseconds);
    ShowWindow(record->splash, SW_HIDE);
    delete record;
    return 0;
}
