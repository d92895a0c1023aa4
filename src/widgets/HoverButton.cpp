#include "widgets/HoverButton.h"

#include <string>

#include "framework/Dialog.h"
#include "framework/SelectedObject.h"
#include "framework/WindowQueries.h"
#include "framework/UniqueHandle.h"
#include "framework/MemoryDc.h"

namespace {

fw::Icon LoadButtonIcon(UINT id) {
    return fw::Icon(static_cast<HICON>(LoadImageA(fw::Dialog::ResourceModule(), MAKEINTRESOURCEA(id & 0xFFFF), IMAGE_ICON,
                                         0, 0, LR_DEFAULTCOLOR)));
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

HoverButton::HoverButton()
    : normalBgColor_(GetSysColor(COLOR_BTNFACE)),
      normalTextColor_(GetSysColor(COLOR_BTNTEXT)),
      hoverBgColor_(GetSysColor(COLOR_BTNFACE)),
      hoverTextColor_(GetSysColor(COLOR_BTNTEXT)) {}

HoverButton::~HoverButton() = default;

void HoverButton::SetIcons(UINT hoverIconId, UINT normalIconId, int width, int height) {
    hoverIcon_ = LoadButtonIcon(hoverIconId);
    normalIcon_ = normalIconId ? LoadButtonIcon(normalIconId) : fw::Icon();
    iconWidth_ = static_cast<std::uint8_t>(width);
    iconHeight_ = static_cast<std::uint8_t>(height);
    if (Hwnd()) RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void HoverButton::SetIconAlign(int align) {
    iconAlign_ = align;
    if (Hwnd()) Invalidate(true);
}

void HoverButton::PreSubclass() {
    const LONG_PTR style = GetWindowLongPtrA(Hwnd(), GWL_STYLE);
    SendMessageA(Hwnd(), BM_SETSTYLE, (style & 0xFF) | BS_OWNERDRAW, TRUE);
}

HoverButton::Layout HoverButton::ComputeLayout(const RECT& item, int iconWidth, int iconHeight, int iconAlign,
                                               bool hasCaption, bool pressed) {
    Layout layout{item, item};
    const int dx = (item.right - iconWidth - item.left) / 2;
    const int dy = (item.bottom - iconHeight - item.top) / 2;
    if (iconAlign == 0) {
        if (hasCaption) {
            layout.icon.left += 3;
            layout.caption.left += iconWidth + 3;
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
    const RECT& work = item.rcItem;

    fw::Brush background(CreateSolidBrush(lit ? hoverBgColor_ : normalBgColor_));
    FillRect(dc, &work, background.get());

    if (pressed)
        DrawThinBorder(dc, work, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (mouseOver_)
        DrawThinBorder(dc, work, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));

    const std::string caption = fw::WindowText(Hwnd());
    Layout layout = ComputeLayout(item.rcItem, iconWidth_, iconHeight_, iconAlign_, !caption.empty(), pressed);

    if (hoverIcon_) {
        const HICON icon = lit ? HoverIcon() : NormalIcon();
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, layout.icon.left, layout.icon.top, 0, 0,
                   DST_ICON | (disabled ? DSS_DISABLED : 0));
    }

    if (!caption.empty()) {
        RECT& captionRect = layout.caption;
        if (pressed) OffsetRect(&captionRect, 1, 1);
        auto font = reinterpret_cast<HFONT>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
        fw::SelectedObject selectedFont(dc, font);
        SetTextColor(dc, lit ? hoverTextColor_ : normalTextColor_);
        SetBkColor(dc, lit ? hoverBgColor_ : normalBgColor_);
        RECT measured = captionRect;
        DrawTextA(dc, caption.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
        const int width = measured.right - measured.left;
        const int height = measured.bottom - measured.top;
        OffsetRect(&measured, ((captionRect.right - captionRect.left) - width) / 2,
                   ((captionRect.bottom - captionRect.top) - height) / 2);
        DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()),
                   static_cast<WPARAM>(caption.size()), measured.left, measured.top, width, height,
                   DST_PREFIXTEXT | (disabled ? DSS_DISABLED : 0));
    }
    // No focus rectangle: the hover border is the only emphasis.
}

LRESULT HoverButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
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
        if (mouseOver_) {
            mouseOver_ = FALSE;
            Invalidate(true);
        }
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
