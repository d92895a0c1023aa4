#pragma once
// A group box that can draw in colours of its owner's (a dark look): the
// system's group box takes its caption's colour from the theme or the
// system, not from the parent's WM_CTLCOLORSTATIC answer, so on a dark
// background its caption would be dark on dark. Without colours it is the
// system's own. Only the frame and the caption are drawn: the inside
// belongs to the controls grouped there.

#include <windows.h>

#include <optional>

#include "framework/Control.h"

class GroupFrame : public fw::Control {
public:
    struct Colors {
        COLORREF background;  // behind the caption
        COLORREF text;
        COLORREF line;
    };
    // None goes back to the system's drawing.
    void SetColors(std::optional<Colors> colors);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) const;

    std::optional<Colors> colors_;
};
