#pragma once
// The borderless start-up picture, centred on the screen. It hides itself
// two seconds after Start, or at once on a click or a key press in it, and
// is destroyed with the main window.

#include <windows.h>

#include "framework/Dialog.h"

class SplashWindow : public fw::Dialog {
public:
    static constexpr DWORD kShowMilliseconds = 2000;

    SplashWindow();

    // Creates the window with `parent` as its owner, shows it and starts
    // the thread that hides it. False when the window could not be made.
    bool Start(HWND parent);

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// The hiding thread; `parameter` is a heap record it frees.
DWORD WINAPI SplashTimer(LPVOID parameter);
