#pragma once
// The display scale a window is drawn at, and lengths at that scale.
//
// The program declares per-monitor awareness, so Windows no longer stretches
// it: every length the code sets in pixels is given at 96 DPI (100 %) and
// scaled here. The per-monitor calls exist from Windows 10 on and MinGW's
// headers hide them at the program's Windows 7 target, so they are looked
// up at run time; without them every window has the system's DPI, which is
// what Windows 7 and 8 give a system-aware program.

#include <windows.h>

#include "framework/UniqueHandle.h"

namespace fw {

inline constexpr UINT kDefaultDpi = 96;

// A length given at 96 DPI, at `dpi`.
inline int Scaled(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kDefaultDpi)); }

// The DPI of the screen as a whole (what a system-aware program gets).
UINT SystemDpi();

// The DPI a window is drawn at: its monitor's when the process is
// per-monitor aware, else the system's.
UINT WindowDpi(HWND window);

// GetSystemMetrics at a DPI (icon sizes, scroll bar widths, frames).
int SystemMetric(int index, UINT dpi);

// The font the system shows its messages in, at a DPI. Unlike a dialog
// template's font, it has (or links to) letters of other scripts, so a
// name in any script shows as written. Empty when the system does not say.
Font MessageFont(UINT dpi);

// A copy of `font` (a dialog's font, a control's) for another DPI: its
// height scaled from `from` to `to`.
Font RescaledFont(HFONT font, UINT from, UINT to);

// An icon resource at its 96-DPI size scaled to `dpi`: the icon file's own
// picture of that size where it has one, not a stretched smaller one.
Icon LoadIconAt(HINSTANCE module, UINT id, int sizeAt96, UINT dpi);

// Stops Windows from rescaling a dialog and its controls by itself when it
// moves to a monitor of another scale: the dialog does it on WM_DPICHANGED,
// the same way on every Windows and in tests.
void TakeOverDialogScaling(HWND dialog);

// Moves and resizes every child of `parent` by to/from and gives the
// children that had `oldFont` the font `newFont`: a window's own re-layout
// on WM_DPICHANGED.
void RescaleChildren(HWND parent, UINT from, UINT to, HFONT oldFont, HFONT newFont);

}  // namespace fw
