#include "ProgressWindow.h"

namespace {
constexpr char kClassName[] = "ZaltrowTestProgressWindow";
constexpr char kSelfProperty[] = "ZaltrowTestProgress";
}  // namespace

ProgressWindow::ProgressWindow(bool withControl) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, kClassName, "Progress", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!withControl) return;
    control_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 250, 20, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextControl)), GetModuleHandleA(nullptr),
                               nullptr);
    SetPropA(control_, kSelfProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProcedure)));
}

ProgressWindow::~ProgressWindow() {
    if (control_) {
        SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        RemovePropA(control_, kSelfProperty);
    }
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK ProgressWindow::ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<ProgressWindow*>(GetPropA(control, kSelfProperty));
    if (message == WM_SETTEXT && lParam) {
        self->texts_.emplace_back(reinterpret_cast<const char*>(lParam));
        self->threads_.push_back(GetCurrentThreadId());
    }
    return CallWindowProcA(self->original_, control, message, wParam, lParam);
}
