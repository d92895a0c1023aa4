#pragma once
// The borderless start-up picture, centred on its screen. It hides itself
// two seconds after Start, or at once on a click or a key press in it, and
// is destroyed with the main window. The picture is the one drawn for the
// window's display scale, shown at its own size (see ScaledArt).

#include <windows.h>

#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"

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

private:
    // Shows the picture drawn for `dpi` and fits the window around it.
    void ShowPictureFor(UINT dpi);

    // The picture control shows it but does not own it; the window goes
    // before this object does.
    fw::Bitmap picture_;
};

// The hiding thread; `parameter` is a heap record it frees.
DWORD WINAPI SplashTimer(LPVOID parameter);
