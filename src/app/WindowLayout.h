#pragma once
// The main window's remembered layout: its place and size (or maximized),
// the list's columns (widths, order, which are shown) and its sort, stored per user between starts at
// 100 % scale and brought to the window's DPI.

#include <windows.h>

#include "app/ProgramListCtrl.h"

class WindowLayout {
public:
    // What Load found stored: the opening layout fits the rows where not.
    struct Stored {
        bool columns = false;
        bool placement = false;
    };
    // Applies what is stored; never smaller than `minimum`, and a place on
    // a screen that is no longer there keeps the centred one.
    static Stored Load(HWND window, ProgramListCtrl& list, UINT dpi, SIZE minimum);
    static void Save(HWND window, const ProgramListCtrl& list, UINT dpi);
};
