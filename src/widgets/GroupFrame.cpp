#include "widgets/GroupFrame.h"

#include <algorithm>
#include <string>

#include "framework/PaintDc.h"
#include "framework/SelectedObject.h"
#include "framework/UniqueHandle.h"

void GroupFrame::SetColors(std::optional<Colors> colors) {
    colors_ = colors;
    if (Hwnd()) Invalidate(true);
}

void GroupFrame::Paint(HDC dc) const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    fw::SelectedObject font(dc, reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int top = metrics.tmHeight / 2;
    fw::Brush line(CreateSolidBrush(colors_->line));
    const RECT edges[] = {
        {client.left, top, client.right, top + 1},
        {client.left, client.bottom - 1, client.right, client.bottom},
        {client.left, top, client.left + 1, client.bottom},
        {client.right - 1, top, client.right, client.bottom},
    };
    for (const RECT& edge : edges) FillRect(dc, &edge, line.get());

    const int length = GetWindowTextLengthW(Hwnd());
    if (length <= 0) return;
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(Hwnd(), caption.data(), length + 1)));
    // Where the system puts it: a character's width in, on the top line.
    RECT text{client.left + metrics.tmAveCharWidth, client.top, client.right - metrics.tmAveCharWidth, client.bottom};
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_CALCRECT);
    text.right = std::min(text.right, client.right - metrics.tmAveCharWidth);
    RECT behind = text;
    InflateRect(&behind, 2, 0);
    fw::Brush background(CreateSolidBrush(colors_->background));
    FillRect(dc, &behind, background.get());
    SetTextColor(dc, colors_->text);
    SetBkMode(dc, TRANSPARENT);
    const bool prefixesHidden = (SendMessageW(Hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0;
    DrawTextW(dc, caption.c_str(), -1, &text, DT_SINGLELINE | DT_END_ELLIPSIS | (prefixesHidden ? DT_HIDEPREFIX : 0));
}

LRESULT GroupFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!colors_) return DefaultProc(message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the inside is the grouped controls'
    case WM_PAINT: {
        fw::PaintDc dc(Hwnd());
        Paint(dc.Get());
        return 0;
    }
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_UPDATEUISTATE: {
        // The system's group box paints itself here, outside WM_PAINT:
        // ours follows.
        const LRESULT result = DefaultProc(message, wParam, lParam);
        Invalidate(false);
        return result;
    }
    default:
        return DefaultProc(message, wParam, lParam);
    }
}
