#include "framework/Control.h"

#include <mutex>
#include <new>
#include <unordered_map>

namespace fw {

// A subclassed window's bound object and the procedure it replaced. Classic
// subclassing with an in-process table, because under Wine every message
// through SetWindowSubclass, and every GetProp, costs a round trip to the
// server (a list fill of 600 rows spent most of its time there). The window
// data (GWLP_USERDATA) stays free for whoever owns the window. The wide
// calls keep a bound window Unicode: through an ANSI procedure every text
// (an edit box's typing too) would be cut to the system code page.
struct Control::Binding {
    Control* object = nullptr;  // null once unbound while others still chain through us
    WNDPROC original = nullptr;
};

namespace {

LONG_PTR OurProc(WNDPROC proc) { return reinterpret_cast<LONG_PTR>(proc); }

std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}
std::unordered_map<HWND, void*>& Table() {
    static std::unordered_map<HWND, void*> table;
    return table;
}
void Enter(HWND hwnd, void* binding) {
    std::lock_guard<std::mutex> guard(TableLock());
    Table()[hwnd] = binding;
}
void Forget(HWND hwnd) {
    std::lock_guard<std::mutex> guard(TableLock());
    Table().erase(hwnd);
}

}  // namespace

Control::~Control() { Detach(); }

Control::Binding* Control::BindingOf(HWND hwnd) {
    std::lock_guard<std::mutex> guard(TableLock());
    const auto found = Table().find(hwnd);
    return found == Table().end() ? nullptr : static_cast<Binding*>(found->second);
}

Control* Control::FromHandle(HWND hwnd) {
    Binding* binding = BindingOf(hwnd);
    return binding ? binding->object : nullptr;
}

bool Control::Attach(HWND hwnd) {
    if (!hwnd || hwnd_ || BindingOf(hwnd)) return false;
    auto* binding = new (std::nothrow) Binding;
    if (!binding) return false;
    binding->object = this;
    hwnd_ = hwnd;
    binding_ = binding;
    PreSubclass();
    Enter(hwnd, binding);
    binding->original =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, OurProc(&Control::SubclassProc)));
    if (!binding->original) {
        Forget(hwnd);
        delete binding;
        hwnd_ = nullptr;
        binding_ = nullptr;
        return false;
    }
    return true;
}

void Control::Detach() {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    Binding* binding = binding_;
    hwnd_ = nullptr;
    binding_ = nullptr;
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == OurProc(&Control::SubclassProc)) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(binding->original));
        Forget(hwnd);
        delete binding;
    } else {
        // Someone subclassed the window after us and still calls our
        // procedure: it keeps forwarding until the window goes.
        binding->object = nullptr;
    }
}

bool Control::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Control::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT Control::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(binding_->original, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Binding* binding = BindingOf(hwnd);
    if (!binding) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window goes first; the object may outlive it, unbound.
        const WNDPROC original = binding->original;
        if (binding->object) {
            binding->object->hwnd_ = nullptr;
            binding->object->binding_ = nullptr;
        }
        Forget(hwnd);
        if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == OurProc(&Control::SubclassProc))
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        delete binding;
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    }
    if (!binding->object) return CallWindowProcW(binding->original, hwnd, message, wParam, lParam);
    try {
        return binding->object->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's window dispatch.
        return CallWindowProcW(binding->original, hwnd, message, wParam, lParam);
    }
}

}  // namespace fw
