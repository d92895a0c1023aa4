#include "widgets/HoverButton.h"

#include <algorithm>
#include <string>

#include "framework/Dialog.h"
#include "framework/SelectedObject.h"
#include "framework/WindowQueries.h"
#include "framework/UniqueHandle.h"
#include "framework/MemoryDc.h"
#include "framework/ShellIcon.h"

namespace {

// The icon file's own picture of the size drawn, not a smaller one stretched.
fw::Icon LoadButtonIcon(UINT id, int width, int height) {
    return fw::Icon(static_cast<HICON>(LoadImageW(fw::Dialog::ResourceModule(), MAKEINTRESOURCEW(id & 0xFFFF), IMAGE_ICON,
                                                  width, height, LR_DEFAULTCOLOR)));
}

// A thin border: `first` from bottom-left up to top-right, `second` along the
// bottom and up the right side.
void DrawThinBorder(HDC dc, const RECT& r, COLORREF first, COLORREF second) {
    fw::Pen firstPen(CreatePen(PS_SOLID, 0, first));
    fw::Pen secondPen(CreatePen(PS_SOLID, 0, second));
    HGDIOBJ previous = SelectObject(dc, firstPen.get());
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right, r.top);
    SelectObject(dc, secondPen.get());
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.right - 1, r.top - 1);
    SelectObject(dc, previous);
}

}  // namespace

HoverButton::HoverButton() = default;

HoverButton::~HoverButton() = default;

void HoverButton::SetIcons(UINT hoverIconId, UINT normalIconId, int width, int height) {
    hoverIcon_ = LoadButtonIcon(hoverIconId, width, height);
    normalIcon_ = normalIconId ? LoadButtonIcon(normalIconId, width, height) : fw::Icon();
    iconWidth_ = static_cast<std::uint8_t>(width);
    iconHeight_ = static_cast<std::uint8_t>(height);
    if (Hwnd()) RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void HoverButton::SetShield(bool shown, int size) {
    if (shown == static_cast<bool>(shield_) && (!shown || size == shieldSize_)) return;
    shield_ = shown ? fw::ShieldIcon(size) : fw::Icon();
    shieldSize_ = size;
    if (Hwnd()) Invalidate(true);
}

void HoverButton::SetColors(std::optional<Colors> colors) {
    colors_ = colors;
    if (Hwnd()) Invalidate(true);
}

void HoverButton::SetIconAlign(int align) {
    iconAlign_ = align;
    if (Hwnd()) Invalidate(true);
}

void HoverButton::PreSubclass() {
    const LONG_PTR style = GetWindowLongPtrA(Hwnd(), GWL_STYLE);
    default_ = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    SendMessageA(Hwnd(), BM_SETSTYLE, (style & 0xFF & ~BS_TYPEMASK) | BS_OWNERDRAW, TRUE);
}

namespace {

// A push button of the same dialog other than `self` that has the focus.
bool OtherButtonFocused(HWND self) {
    HWND focus = GetFocus();
    if (!focus || focus == self || GetParent(focus) != GetParent(self)) return false;
    return (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// The dialog's default button is framed only while no button has the
// focus, so the frames of both follow every focus change.
void RedrawDefaultButton(HWND self) {
    HWND dialog = GetParent(self);
    const LRESULT id = dialog ? SendMessageW(dialog, DM_GETDEFID, 0, 0) : 0;
    if (HIWORD(id) != DC_HASDEFID) return;
    if (HWND button = GetDlgItem(dialog, LOWORD(id)); button && button != self) InvalidateRect(button, nullptr, FALSE);
}

}  // namespace

bool HoverButton::TakesEnter() const {
    // A grey default button takes nothing: the dialog manager skips it.
    if (!IsWindowEnabled(Hwnd())) return false;
    return GetFocus() == Hwnd() || (default_ && !OtherButtonFocused(Hwnd()));
}

HoverButton::Layout HoverButton::ComputeLayout(const RECT& item, int iconWidth, int iconHeight, int iconAlign,
                                               bool hasCaption, bool pressed) {
    Layout layout{item, item};
    const int dx = (item.right - iconWidth - item.left) / 2;
    const int dy = (item.bottom - iconHeight - item.top) / 2;
    // 3 pixels beside a 32-pixel icon, and as much more as the icon is larger.
    const int margin = std::max(3, iconWidth * 3 / 32);
    if (iconAlign == 0) {
        if (hasCaption) {
            layout.icon.left += margin;
            layout.caption.left += iconWidth + margin;
        } else {
            layout.icon.left += dx;
        }
        layout.icon.top += dy;
    }
    if (pressed) OffsetRect(&layout.icon, 1, 1);
    return layout;
}

bool HoverButton::OnReflect(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void HoverButton::Draw(const DRAWITEMSTRUCT& item) {
    fw::MemoryDc memory(item.hDC);
    HDC dc = memory.Get();
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    const bool lit = mouseOver_ || pressed;
    // The system's colours at every paint, so a switch to high contrast
    // shows at once; the owner's own where it gave some.
    const COLORREF face = colors_ ? colors_->face : GetSysColor(COLOR_BTNFACE);
    const COLORREF text = colors_ ? colors_->text : GetSysColor(COLOR_BTNTEXT);
    const COLORREF light = colors_ ? colors_->light : GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = colors_ ? colors_->shadow : GetSysColor(COLOR_BTNSHADOW);
    if (colors_) {
        fw::Brush faceBrush(CreateSolidBrush(face));
        FillRect(dc, &item.rcItem, faceBrush.get());
    } else {
        FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    }

    // The default button's frame, in the colour high contrast also uses
    // for window frames; the hover and press borders go inside it.
    RECT work = item.rcItem;
    if (TakesEnter()) {
        if (colors_) {
            fw::Brush frame(CreateSolidBrush(colors_->frame));
            FrameRect(dc, &work, frame.get());
        } else {
            FrameRect(dc, &work, GetSysColorBrush(COLOR_WINDOWFRAME));
        }
        InflateRect(&work, -1, -1);
    }
    if (pressed)
        DrawThinBorder(dc, work, shadow, light);
    else if (mouseOver_)
        DrawThinBorder(dc, work, light, shadow);

    const std::string caption = fw::WindowText(Hwnd());
    Layout layout = ComputeLayout(item.rcItem, iconWidth_, iconHeight_, iconAlign_, !caption.empty(), pressed);

    if (hoverIcon_) {
        const HICON icon = lit ? HoverIcon() : NormalIcon();
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, layout.icon.left, layout.icon.top, 0, 0,
                   DST_ICON | (disabled ? DSS_DISABLED : 0));
    }
    // The shield over the picture's bottom right corner, as Windows marks
    // a program that asks for rights: beside the caption it would crowd it
    // out of a button this narrow.
    if (shield_) {
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(shield_.get()), 0,
                   layout.icon.left + iconWidth_ - shieldSize_ + shieldSize_ / 4,
                   layout.icon.top + iconHeight_ - shieldSize_ + shieldSize_ / 4, 0, 0,
                   DST_ICON | (disabled ? DSS_DISABLED : 0));
    }

    if (!caption.empty()) {
        RECT& captionRect = layout.caption;
        if (pressed) OffsetRect(&captionRect, 1, 1);
        auto font = reinterpret_cast<HFONT>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
        fw::SelectedObject selectedFont(dc, font);
        SetTextColor(dc, text);
        SetBkColor(dc, face);
        RECT measured = captionRect;
        DrawTextA(dc, caption.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
        const int width = measured.right - measured.left;
        const int height = measured.bottom - measured.top;
        OffsetRect(&measured, ((captionRect.right - captionRect.left) - width) / 2,
                   ((captionRect.bottom - captionRect.top) - height) / 2);
        // The system's grey caption is embossed in its light colours; on
        // the owner's face a plain grey reads better.
        const bool ownGrey = disabled && colors_;
        if (ownGrey) SetTextColor(dc, colors_->disabledText);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()),
                   static_cast<WPARAM>(caption.size()), measured.left, measured.top, width, height,
                   DST_PREFIXTEXT | (disabled && !ownGrey ? DSS_DISABLED : 0));
    }
    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = work;
        InflateRect(&focus, -3, -3);
        SetTextColor(dc, text);
        SetBkColor(dc, face);
        DrawFocusRect(dc, &focus);
    }
}

LRESULT HoverButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // An owner-drawn button answers as a plain button, which the dialog
        // manager never makes the default: Enter would then go to the
        // dialog's default button whatever button has the focus.
        return DLGC_BUTTON | (TakesEnter() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE: {
        // The dialog manager moves the default by setting BS_DEFPUSHBUTTON
        // or BS_PUSHBUTTON; the button stays owner-drawn either way.
        default_ = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        const LRESULT result = DefaultProc(message, (wParam & ~BS_TYPEMASK) | BS_OWNERDRAW, lParam);
        InvalidateRect(Hwnd(), nullptr, FALSE);
        return result;
    }
    case WM_SETFOCUS: {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        RedrawDefaultButton(Hwnd());
        InvalidateRect(Hwnd(), nullptr, FALSE);
        return result;
    }
    case WM_MOUSEMOVE: {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        const bool leftDown = (wParam & MK_LBUTTON) != 0;
        if (leftDown && !mouseOver_) return result;
        const bool hasOwner = GetWindow(Hwnd(), GW_OWNER) || GetParent(Hwnd());
        if (GetCapture() != Hwnd() && hasOwner) {
            mouseOver_ = TRUE;
            SetCapture(Hwnd());
            Invalidate(true);
            return result;
        }
        RECT client{};
        GetClientRect(Hwnd(), &client);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&client, point)) return result;
        if (mouseOver_) {
            mouseOver_ = FALSE;
            Invalidate(true);
        }
        // While the left button is down the button's own press handling
        // needs the mouse, so the capture stays.
        if (!leftDown) ReleaseCapture();
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        if (mouseOver_) mouseOver_ = FALSE;
        Invalidate(true);
        RedrawDefaultButton(Hwnd());
        return result;
    }
    case WM_CAPTURECHANGED:
        // The system also reports a capture the button takes again itself
        // (its own press handling, on the left button going down, while the
        // hover already holds it); releasing then would end the press
        // tracking that dragging out relies on.
        if (mouseOver_ && reinterpret_cast<HWND>(lParam) != Hwnd()) {
            ReleaseCapture();
            Invalidate(true);
        }
        return DefaultProc(message, wParam, lParam);
    default:
        return DefaultProc(message, wParam, lParam);
    }
}
