#pragma once
// Where a download's progress texts go. Called on the download's worker
// thread, at most every DownloadWorker::kProgressMs and always once more
// with the exact total, and no more once the fetch has been given up.

#include <windows.h>

#include <functional>
#include <string>

using DownloadProgress = std::function<void(const std::string& text)>;

// Shows each text in child control `controlId` of `window`, when it has
// one. The control belongs to the window's thread: the text is set by a
// synchronous call into it, answered because that thread pumps while it
// waits for the fetch.
inline DownloadProgress ProgressInControl(HWND window, int controlId) {
    return [window, controlId](const std::string& text) {
        if (HWND control = GetDlgItem(window, controlId)) SetWindowTextA(control, text.c_str());
    };
}
