#pragma once
// Small window queries the controls and dialogs share.

#include <windows.h>

#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

// The whole text of a window.
inline std::string WindowText(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A child window's rectangle in its parent's client coordinates (the
// coordinates MoveWindow takes).
inline RECT ChildRect(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    if (HWND parent = GetParent(child)) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace fw
