#pragma once
// A C++ object bound to one child window of a dialog (see Framework.h).

#include <windows.h>

namespace fw {

class Control {
public:
    Control() = default;
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Hwnd() const { return hwnd_; }
    int Id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }

    // Binds the object to an existing window: PreSubclass runs first, then
    // the window is subclassed so WindowProc sees its messages. False when
    // the window is missing or already bound.
    bool Attach(HWND hwnd);
    // Unbinds; also done when the window is destroyed.
    void Detach();

    // The bound object of a window, or null when none is bound.
    static Control* FromHandle(HWND hwnd);

    // Messages a parent reflects back to the child that sent them
    // (WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*). Return true when handled,
    // with the message's result in `result`.
    virtual bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void Invalidate(bool erase = true) const { InvalidateRect(hwnd_, nullptr, erase); }

protected:
    // The attach hook: runs before the window is subclassed.
    virtual void PreSubclass() {}
    // The subclassed window procedure; DefaultProc passes the message on.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    struct Binding;
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static Binding* BindingOf(HWND hwnd);

    HWND hwnd_ = nullptr;
    Binding* binding_ = nullptr;
};

}  // namespace fw
