#pragma once
// A window closed to input for a scope, as a modal window closes its
// owner, and open again at its end (or at Open, earlier: before the window
// that stood over it goes, so that it, not another program, is activated
// then). A window that was closed already, or none, is left as it is.

#include <windows.h>

namespace fw {

class ClosedToInput {
public:
    explicit ClosedToInput(HWND window) : window_(window), closed_(window && IsWindowEnabled(window)) {
        if (closed_) EnableWindow(window_, FALSE);
    }
    ~ClosedToInput() { Open(); }
    ClosedToInput(const ClosedToInput&) = delete;
    ClosedToInput& operator=(const ClosedToInput&) = delete;

    void Open() {
        if (closed_) EnableWindow(window_, TRUE);
        closed_ = false;
    }

private:
    HWND window_;
    bool closed_;
};

}  // namespace fw
