#include "widgets/DropListBox.h"

#include <string>

#include "framework/Dpi.h"
#include "framework/PaintDc.h"
#include "framework/SelectedObject.h"
#include "framework/UniqueHandle.h"

void DropListBox::SetColors(std::optional<Colors> colors) {
    colors_ = colors;
    if (Hwnd()) Invalidate(true);
}

void DropListBox::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    fw::Brush background(CreateSolidBrush(colors_->background));
    FillRect(dc, &client, background.get());
    fw::Brush line(CreateSolidBrush(colors_->line));
    FrameRect(dc, &client, line.get());

    // The arrow, in a button as wide as a scroll bar.
    const UINT dpi = fw::WindowDpi(Hwnd());
    const int button = fw::SystemMetric(SM_CXVSCROLL, dpi);
    const int half = fw::Scaled(4, dpi);
    const int cx = client.right - button / 2, cy = (client.top + client.bottom) / 2;
    const POINT arrow[3] = {{cx - half, cy - half / 2}, {cx + half, cy - half / 2}, {cx, cy + half / 2 + 1}};
    fw::Pen pen(CreatePen(PS_SOLID, 1, colors_->text));
    fw::Brush fill(CreateSolidBrush(colors_->text));
    {
        fw::SelectedObject selectedPen(dc, pen.get());
        fw::SelectedObject selectedBrush(dc, fill.get());
        Polygon(dc, arrow, 3);
    }

    const LRESULT chosen = SendMessageW(Hwnd(), CB_GETCURSEL, 0, 0);
    std::wstring text;
    if (chosen != CB_ERR) {
        const LRESULT length = SendMessageW(Hwnd(), CB_GETLBTEXTLEN, chosen, 0);
        if (length > 0) {
            text.assign(static_cast<std::size_t>(length) + 1, L'\0');
            const LRESULT copied = SendMessageW(Hwnd(), CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
            text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        }
    }
    const int inset = fw::Scaled(2, dpi);
    RECT field{client.left + inset, client.top + inset, client.right - button, client.bottom - inset};
    const bool focused = GetFocus() == Hwnd() && !SendMessageW(Hwnd(), CB_GETDROPPEDSTATE, 0, 0);
    if (focused) {
        fw::Brush selection(CreateSolidBrush(colors_->selection));
        FillRect(dc, &field, selection.get());
    }
    fw::SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, IsWindowEnabled(Hwnd()) ? (focused ? colors_->selectionText : colors_->text) : colors_->line);
    RECT words = field;
    words.left += inset;
    DrawTextW(dc, text.c_str(), -1, &words, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (focused) {
        SetTextColor(dc, colors_->selectionText);
        SetBkColor(dc, colors_->selection);
        DrawFocusRect(dc, &field);
    }
}

LRESULT DropListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!colors_) return DefaultProc(message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        fw::PaintDc dc(Hwnd());
        Paint(dc.Get());
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_CAPTURECHANGED:
    case CB_SETCURSEL:
    case CB_SHOWDROPDOWN:
    case CB_RESETCONTENT: {
        // The system's box paints its face here, outside WM_PAINT: ours
        // follows at once.
        const LRESULT result = DefaultProc(message, wParam, lParam);
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    }
    default:
        return DefaultProc(message, wParam, lParam);
    }
}
