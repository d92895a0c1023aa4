#include "app/DarkHeader.h"

#include <algorithm>

#include "app/ThemePalette.h"
#include "framework/Dpi.h"
#include "framework/SelectedObject.h"
#include "framework/UniqueHandle.h"

namespace dark_header {
namespace {

void Fill(HDC dc, const RECT& box, COLORREF color) {
    fw::Brush brush(CreateSolidBrush(color));
    FillRect(dc, &box, brush.get());
}

// The line under the header, and between items.
void Lines(HDC dc, const RECT& box, bool divider) {
    const theme::DarkColors& d = theme::Dark();
    Fill(dc, RECT{box.left, box.bottom - 1, box.right, box.bottom}, d.headerLine);
    if (divider) Fill(dc, RECT{box.right - 1, box.top, box.right, box.bottom - 1}, d.headerLine);
}

// A small triangle, pointing up for ascending, at the item's right.
void SortArrow(HDC dc, const RECT& box, bool up, int size) {
    const int cx = box.right - size * 3 / 2, cy = (box.top + box.bottom) / 2;
    const int half = size / 2;
    const int tip = up ? cy - half / 2 - 1 : cy + half / 2 + 1;
    const int base = up ? cy + half / 2 : cy - half / 2;
    const POINT points[3] = {{cx - half, base}, {cx + half, base}, {cx, tip}};
    fw::Brush brush(CreateSolidBrush(theme::Dark().headerText));
    fw::Pen pen(CreatePen(PS_SOLID, 1, theme::Dark().headerText));
    fw::SelectedObject selectedBrush(dc, brush.get());
    fw::SelectedObject selectedPen(dc, pen.get());
    Polygon(dc, points, 3);
}

void Item(HWND header, const NMCUSTOMDRAW& draw) {
    const theme::DarkColors& d = theme::Dark();
    const int item = static_cast<int>(draw.dwItemSpec);
    const bool pressed = (draw.uItemState & CDIS_SELECTED) != 0;
    Fill(draw.hdc, draw.rc, pressed ? d.headerLine : d.header);
    Lines(draw.hdc, draw.rc, true);

    wchar_t text[260] = {};
    HDITEMW info{};
    info.mask = HDI_TEXT | HDI_FORMAT;
    info.pszText = text;
    info.cchTextMax = 260;
    if (!SendMessageW(header, HDM_GETITEMW, item, reinterpret_cast<LPARAM>(&info))) return;
    const UINT dpi = fw::WindowDpi(header);
    const int padding = fw::Scaled(6, dpi);
    const int arrow = fw::Scaled(8, dpi);
    RECT box = draw.rc;
    box.left += padding;
    box.right -= padding;
    const bool sorted = (info.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0;
    if (sorted) {
        SortArrow(draw.hdc, draw.rc, (info.fmt & HDF_SORTUP) != 0, arrow);
        box.right -= arrow * 2;
    }
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if ((info.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) format |= DT_RIGHT;
    if ((info.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) format |= DT_CENTER;
    fw::SelectedObject font(draw.hdc, reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)));
    SetTextColor(draw.hdc, d.headerText);
    SetBkMode(draw.hdc, TRANSPARENT);
    if (box.right > box.left) DrawTextW(draw.hdc, text, -1, &box, format);
}

// The room to the right of the item shown last.
void Rest(HWND header, const NMCUSTOMDRAW& draw) {
    RECT client{};
    GetClientRect(header, &client);
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int right = client.left;
    for (int item = 0; item < count; ++item) {
        RECT box{};
        if (SendMessageW(header, HDM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&box)))
            right = std::max<int>(right, box.right);
    }
    if (right >= client.right) return;
    const RECT rest{right, client.top, client.right, client.bottom};
    Fill(draw.hdc, rest, theme::Dark().header);
    Lines(draw.hdc, rest, false);
}

}  // namespace

LRESULT CustomDraw(HWND header, NMCUSTOMDRAW& draw) {
    switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPREPAINT:
        Item(header, draw);
        return CDRF_SKIPDEFAULT;
    case CDDS_POSTPAINT:
        Rest(header, draw);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

}  // namespace dark_header
