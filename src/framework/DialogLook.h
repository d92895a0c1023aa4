#pragma once
// A look every dialog of the program takes beyond the system's colours
// (the window's dark look). The program sets one while its main window
// lives; with none, dialogs keep the system's colours.

#include <windows.h>

namespace fw {

class DialogLook {
public:
    virtual ~DialogLook() = default;
    // The system said its colours or the apps' light or dark mode changed:
    // the look reads again what decides it.
    virtual void Renew() = 0;
    // A dialog opened or the look changed: its frame and children take it.
    virtual void Dress(HWND dialog) const = 0;
    // WM_CTLCOLOR* of a dialog: true with the brush to paint with (the DC's
    // colours set); false leaves the system's colours.
    virtual bool ControlColor(UINT message, HDC dc, HWND control, HBRUSH& brush) const = 0;
};

// The look for every dialog from now on; null for none.
void SetDialogLook(DialogLook* look);
DialogLook* CurrentDialogLook();

// The system's WM_SETTINGCHANGE or WM_SYSCOLORCHANGE that changes the look:
// the apps' mode ("ImmersiveColorSet"), high contrast or the system colours.
bool ChangesLook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace fw
