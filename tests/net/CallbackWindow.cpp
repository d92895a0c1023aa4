#include "CallbackWindow.h"

#include <utility>

namespace {
constexpr char kClassName[] = "ZaltrowTestCallbackWindow";
constexpr UINT kCallbackMessage = WM_APP + 17;
}  // namespace

CallbackWindow::CallbackWindow(std::function<void()> callback) : callback_(std::move(callback)) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), this);
}

CallbackWindow::~CallbackWindow() {
    if (window_) DestroyWindow(window_);
}

void CallbackWindow::Post() const { PostMessageA(window_, kCallbackMessage, 0, 0); }

LRESULT CALLBACK CallbackWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CallbackWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kCallbackMessage && self) {
        ++self->calls_;
        if (self->callback_) self->callback_();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
