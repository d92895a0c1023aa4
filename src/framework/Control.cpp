#include "framework/Control.h"

#include <commctrl.h>

namespace fw {
namespace {
constexpr UINT_PTR kSubclassId = 0x5A4C;  // any value unique to this layer
// The bound object is also kept as a window property, so a parent can find
// it for reflection (GetWindowSubclass is missing from some import libraries).
constexpr const char* kObjectProperty = "fw.Control";
}

Control::~Control() { Detach(); }

bool Control::Attach(HWND hwnd) {
    if (!hwnd || hwnd_) return false;
    hwnd_ = hwnd;
    PreSubclass();
    if (!SetWindowSubclass(hwnd, &Control::SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        hwnd_ = nullptr;
        return false;
    }
    SetPropA(hwnd, kObjectProperty, this);
    return true;
}

void Control::Detach() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, &Control::SubclassProc, kSubclassId);
    RemovePropA(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}

Control* Control::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

bool Control::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT Control::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT Control::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) const {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR refData) {
    auto* self = reinterpret_cast<Control*>(refData);
    if (message == WM_NCDESTROY) {
        // The window goes first; the object may outlive it, unbound.
        LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        self->Detach();
        return result;
    }
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's window dispatch.
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace fw
