#pragma once
// A drop-down list combo box (CBS_DROPDOWNLIST) that can draw its closed
// face in colours of its owner's (a dark look): the system draws the
// arrow button and the frame in its own light colours whatever the
// parent answers to WM_CTLCOLOR*. The list that drops down keeps the
// system's drawing in the parent's WM_CTLCOLORLISTBOX colours. Without
// colours it is the system's own.

#include <windows.h>

#include <optional>

#include "framework/Control.h"

class DropListBox : public fw::Control {
public:
    struct Colors {
        COLORREF background;
        COLORREF text;
        COLORREF line;       // frame and arrow
        COLORREF selection;  // the chosen text while the box has the focus
        COLORREF selectionText;
    };
    // None goes back to the system's drawing.
    void SetColors(std::optional<Colors> colors);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) const;

    std::optional<Colors> colors_;
};
