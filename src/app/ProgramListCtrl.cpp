#include "app/ProgramListCtrl.h"

#include "app/ColumnSorter.h"

#include <numeric>
#include "framework/ClientDc.h"
#include "framework/SelectedObject.h"
#include "framework/UniqueHandle.h"

void ProgramListCtrl::SortByColumn(int column, bool ascending) {
    ColumnSorter sorter(*this, column);
    sorter.Prepare();
    sorter.Sort(ascending);
    sorter.Restore();
    if (!sorter.Sorted()) return;
    // A row whose new place is not known is lost rather than mistaken.
    const std::vector<int>& moved = sorter.NewPositions();
    for (int& row : rowOfFilled_)
        row = row >= 0 && static_cast<std::size_t>(row) < moved.size() ? moved[static_cast<std::size_t>(row)] : -1;
}

void ProgramListCtrl::RowsFilled(std::vector<std::size_t> entries) {
    entryOfFilled_ = std::move(entries);
    rowOfFilled_.resize(entryOfFilled_.size());
    std::iota(rowOfFilled_.begin(), rowOfFilled_.end(), 0);
}

int ProgramListCtrl::CurrentRow(int filledAt) const {
    return filledAt >= 0 && static_cast<std::size_t>(filledAt) < rowOfFilled_.size()
               ? rowOfFilled_[static_cast<std::size_t>(filledAt)]
               : -1;
}

std::optional<std::size_t> ProgramListCtrl::EntryAt(int row) const {
    if (row < 0) return std::nullopt;
    for (std::size_t filled = 0; filled < rowOfFilled_.size(); ++filled)
        if (rowOfFilled_[filled] == row) return entryOfFilled_[filled];
    return std::nullopt;
}

bool ProgramListCtrl::InOrder(const std::wstring& a, const std::wstring& b) const {
    return ColumnSorter::Compare(a, b, sortAscending) < 0;
}

bool ProgramListCtrl::OnReflect(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    switch (header.code) {
    case LVN_COLUMNCLICK:
        sortAscending = !sortAscending;
        sortColumn_ = reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem;
        SortByColumn(sortColumn_, sortAscending);
        result = 0;
        return true;
    case LVN_DELETEALLITEMS:
        // The rows are gone, and with them what they showed. No
        // LVN_DELETEITEM per row: nothing else is kept per row.
        rowOfFilled_.clear();
        entryOfFilled_.clear();
        result = TRUE;
        return true;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        return true;
    default:
        return false;
    }
}

LRESULT ProgramListCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (draw.nmcd.lItemlParam == PhantomMark) {
            draw.clrText = kPhantomText;
            draw.clrTextBk = kPhantomBackground;
        }
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT ProgramListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefaultProc(message, wParam, lParam);
    const LRESULT result = DefaultProc(message, wParam, lParam);
    if ((GetWindowLongPtrA(Hwnd(), GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT) DrawRulingLines();
    return result;
}

void ProgramListCtrl::DrawRulingLines() {
    fw::ClientDc dc(Hwnd());
    if (!dc) return;
    RECT headerRect{};
    if (HWND header = Header()) GetClientRect(header, &headerRect);
    RECT client{};
    GetClientRect(Hwnd(), &client);

    fw::Pen pen(CreatePen(PS_SOLID, 2, kRulingColor));
    fw::SelectedObject selected(dc.Get(), pen.get());
    RECT row{};
    if (!GetItemRect(0, row, LVIR_BOUNDS)) return;
    const int rowHeight = row.bottom - row.top;
    for (int k = 1; k <= GetCountPerPage(); ++k) {
        const int y = headerRect.bottom + k * rowHeight;
        MoveToEx(dc.Get(), 0, y, nullptr);
        LineTo(dc.Get(), client.right, y);
    }
}
