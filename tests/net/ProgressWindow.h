#pragma once
// A stand-in for the upgrade's progress window: a hidden top-level window
// of the making thread with a static child control of id 1076 whose text
// changes are all recorded, in order, as the control receives them.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/WindowQueries.h"
#include "net/DownloadProgress.h"

class ProgressWindow {
public:
    static constexpr int kTextControl = 1076;

    // With `withControl` false the window has no control 1076 at all.
    explicit ProgressWindow(bool withControl = true);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    HWND Handle() const { return window_; }
    // A download's progress shown in control 1076, as the upgrade shows it.
    DownloadProgress Receiver() const { return fw::TextIntoControl(window_, kTextControl); }
    // Every text the control was given, and the thread that handled each.
    const std::vector<std::string>& Texts() const { return texts_; }
    const std::vector<DWORD>& Threads() const { return threads_; }

private:
    static LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND control_ = nullptr;
    WNDPROC original_ = nullptr;
    std::vector<std::string> texts_;
    std::vector<DWORD> threads_;
};
