#pragma once
// An edit box whose sunken frame can be drawn flat in colours of its
// owner's (a dark look), where the system's light 3-D edge would outline
// it in white. The text and its background are the parent's
// WM_CTLCOLOREDIT answer as always. Without colours it is the system's own.

#include <windows.h>

#include <optional>

#include "framework/Control.h"

class EditFrame : public fw::Control {
public:
    struct Colors {
        COLORREF line;
        COLORREF background;  // between the line and the text
    };
    // None goes back to the system's frame.
    void SetColors(std::optional<Colors> colors);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::optional<Colors> colors_;
};
