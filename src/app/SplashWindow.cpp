#include "app/SplashWindow.h"

#include <new>
#include <utility>

#include "app/ScaledArt.h"
#include "framework/Dpi.h"
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
    // Painted now, picture and all: the main window fills its list before
    // its message loop runs, and with thousands of entries the splash
    // would stand blank until then.
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);

    auto* record = new (std::nothrow) SplashTimerRecord{Hwnd()};
    if (!record) return true;  // shown; a click or key still hides it
    fw::KernelHandle thread(CreateThread(nullptr, 0, &SplashTimer, record, 0, nullptr));
    if (!thread) delete record;
    return true;
}

bool SplashWindow::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    ShowPictureFor(fw::WindowDpi(Hwnd()));
    return true;
}

void SplashWindow::ShowPictureFor(UINT dpi) {
    HWND control = Item(IDC_SPLASH_PICTURE);
    fw::Bitmap picture(static_cast<HBITMAP>(LoadImageW(ResourceModule(),
                                                       MAKEINTRESOURCEW(ScaledArt::SplashBitmap(dpi)),
                                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    BITMAP size{};
    if (!control || !picture || !GetObjectW(picture.get(), sizeof size, &size)) return;
    SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
    picture_ = std::move(picture);  // only now, when the control no longer shows the old one

    // The control and the window take the picture's size, whatever the
    // dialog's font made of the template's: nothing stretched, nothing cut.
    SetWindowPos(control, nullptr, 0, 0, size.bmWidth, size.bmHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame{0, 0, size.bmWidth, size.bmHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred on the screen it opened on, so it keeps that screen's scale.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTONEAREST), &monitor)) area = monitor.rcWork;
    SetWindowPos(Hwnd(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
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
