#include "widgets/EditFrame.h"

#include "framework/UniqueHandle.h"

void EditFrame::SetColors(std::optional<Colors> colors) {
    colors_ = colors;
    if (Hwnd()) RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

LRESULT EditFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NCPAINT || !colors_) return DefaultProc(message, wParam, lParam);
    HDC dc = GetWindowDC(Hwnd());
    if (!dc) return 0;
    RECT window{}, client{};
    GetWindowRect(Hwnd(), &window);
    GetClientRect(Hwnd(), &client);
    MapWindowPoints(Hwnd(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    // The frame is whatever lies between the window's edge and its client.
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);
    fw::Brush background(CreateSolidBrush(colors_->background));
    fw::Brush line(CreateSolidBrush(colors_->line));
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillRect(dc, &window, background.get());
    FrameRect(dc, &window, line.get());
    ReleaseDC(Hwnd(), dc);
    return 0;
}
