#pragma once
// A message-only window of the thread that makes it: a message posted to
// it with Post() from any thread runs the callback on the window's thread
// when that thread dispatches it. It lets a test prove that the thread
// which runs a fetch keeps handling its messages.

#include <windows.h>

#include <functional>

class CallbackWindow {
public:
    explicit CallbackWindow(std::function<void()> callback);
    ~CallbackWindow();
    CallbackWindow(const CallbackWindow&) = delete;
    CallbackWindow& operator=(const CallbackWindow&) = delete;

    HWND Handle() const { return window_; }
    // Posts the callback's message; safe from any thread.
    void Post() const;
    int Calls() const { return calls_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> callback_;
    HWND window_ = nullptr;
    int calls_ = 0;
};
