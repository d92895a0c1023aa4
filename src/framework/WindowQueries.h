#pragma once
// Small window queries the controls and dialogs share.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

// Shows each text it is given in child control `controlId` of `window`,
// when it has one: a download's progress, say. The control belongs to the
// window's thread: the text is set by a synchronous call into it, answered
// because that thread pumps while it waits.
inline std::function<void(const std::string&)> TextIntoControl(HWND window, int controlId) {
    return [window, controlId](const std::string& text) {
        if (HWND control = GetDlgItem(window, controlId)) SetWindowTextA(control, text.c_str());
    };
}

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
