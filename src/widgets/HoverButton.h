#pragma once
// Owner-drawn push button with an icon (32 x 32 at 100 %) beside its caption: flat while
// the mouse is elsewhere, a thin raised border and the hover icon while the
// mouse is over it, a thin sunken border with icon and caption shifted by
// one pixel while pressed. Clicks reach the parent as ordinary commands.
// To the dialog manager it is a push button like any other: the focused
// one takes Enter, the default one (the dialog's, while no button has the
// focus) is framed, and the focused one shows the focus rectangle.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "framework/Control.h"
#include "framework/UniqueHandle.h"

class HoverButton : public fw::Control {
public:
    HoverButton();
    ~HoverButton() override;

    // Loads both icons from the program's resources (a normal id of 0 uses
    // the hover icon for both states) at width x height pixels, the size
    // they are drawn at (32 x 32 at 100 % scale).
    void SetIcons(UINT hoverIconId, UINT normalIconId, int width, int height);
    void SetIconAlign(int align);
    // Windows' shield over the picture's corner, at `size` pixels: what the
    // button does asks for administrator rights. (BCM_SETSHIELD draws
    // nothing on an owner-drawn button.)
    void SetShield(bool shown, int size);
    bool ShowsShield() const { return static_cast<bool>(shield_); }
    // Colours of the owner's own (a dark look) instead of the system's;
    // none goes back to the system's.
    struct Colors {
        COLORREF face;
        COLORREF text;
        COLORREF disabledText;
        COLORREF light;   // the raised border's top and left, the sunken one's bottom and right
        COLORREF shadow;
        COLORREF frame;   // the frame of the button Enter presses
    };
    void SetColors(std::optional<Colors> colors);

    // Where icon and caption go inside the item rectangle.
    struct Layout {
        RECT icon;
        RECT caption;
    };
    static Layout ComputeLayout(const RECT& item, int iconWidth, int iconHeight, int iconAlign, bool hasCaption,
                                bool pressed);

    bool MouseOver() const { return mouseOver_ != FALSE; }
    // Whether Enter would press this button now: it has the focus, or it
    // is the dialog's default while no other button has it.
    bool TakesEnter() const;
    HICON HoverIcon() const { return hoverIcon_.get(); }
    HICON NormalIcon() const { return normalIcon_ ? normalIcon_.get() : hoverIcon_.get(); }

    bool OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void PreSubclass() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);

    std::int32_t iconAlign_ = 0;
    bool default_ = false;  // BS_DEFPUSHBUTTON as the dialog manager set it
    BOOL mouseOver_ = FALSE;
    fw::Icon hoverIcon_;
    fw::Icon normalIcon_;  // empty when the hover icon serves for both
    fw::Icon shield_;      // empty when no shield is shown
    std::optional<Colors> colors_;
    int shieldSize_ = 0;
    std::uint8_t iconHeight_ = 0;
    std::uint8_t iconWidth_ = 0;
};
