#include "app/ProgramListCtrl.h"

#include <algorithm>
#include <new>
#include <utility>

#include "framework/ClientDc.h"
#include "framework/SelectedObject.h"
#include "framework/UniqueHandle.h"
#include "inventory/NameOrder.h"
#include "inventory/RowSort.h"

namespace {

const std::wstring kNoText;
// Item data writes of one sort above which redrawing is off meanwhile.
constexpr std::size_t kQuietWrites = 150;

LPARAM ItemDataOf(const ProgramRow& row) { return row.phantom ? PhantomMark : 0; }

}  // namespace

void ProgramListCtrl::SetUp(UINT dpi) {
    columns_.SetUp(*this, dpi);
    ShowSortArrow();
}

void ProgramListCtrl::SetColumnShown(ProgramColumn column, bool shown) {
    columns_.SetShown(*this, column, shown);
    if (!columns_.Shown(static_cast<ProgramColumn>(sortColumn_)))
        SetSort(static_cast<int>(ProgramColumn::Name), true);
    else
        ShowSortArrow();
}

void ProgramListCtrl::SetBadge(fw::Icon phantomBadge) {
    badge_ = std::move(phantomBadge);
    if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ProgramListCtrl::SetLook(theme::Look look) {
    look_ = look;
    if (Hwnd()) InvalidateRect(Hwnd(), nullptr, TRUE);
    if (HWND header = Header()) InvalidateRect(header, nullptr, TRUE);
}

int ProgramListCtrl::InsertRowItem(int at) {
    const int item = InsertCallbackItem(at, ItemDataOf((*model_)[order_[static_cast<std::size_t>(at)]]));
    if (item >= 0)
        for (int column = 1; column < columns_.ShownCount(); ++column) SetCallbackText(item, column);
    return item;
}

void ProgramListCtrl::Show(const ProgramRows* rows) {
    DeleteAllItems();
    model_ = rows;
    const std::size_t count = model_ ? model_->Count() : 0;
    sorted_.resize(count);
    for (std::size_t row = 0; row < count; ++row) sorted_[row] = row;
    // The control has no rows yet: this only orders them (or, short of
    // memory, leaves them in the model's order).
    filling_ = true;
    const bool sorted = SortRows();
    filling_ = false;
    if (!sorted) {
        order_ = Filtered();
        IndexPositions();
    }
    ReserveItems(static_cast<int>(order_.size()));
    for (std::size_t row = 0; row < order_.size(); ++row) InsertRowItem(static_cast<int>(row));
}

void ProgramListCtrl::SetFilter(RowFilter shown) {
    filter_ = std::move(shown);
    if (model_) ShowOrder(Filtered());
}

std::vector<std::size_t> ProgramListCtrl::Filtered() const {
    if (!filter_) return sorted_;
    std::vector<std::size_t> shown;
    shown.reserve(sorted_.size());
    for (std::size_t row : sorted_)
        if (filter_(row)) shown.push_back(row);
    return shown;
}

void ProgramListCtrl::IndexPositions() {
    positionOf_.assign(order_.size(), -1);
    rowOfEntry_.clear();
    for (std::size_t at = 0; at < order_.size(); ++at) {
        positionOf_[order_[at]] = static_cast<int>(at);
        const std::size_t entry = (*model_)[order_[at]].entry;
        if (entry >= rowOfEntry_.size()) rowOfEntry_.resize(entry + 1, -1);
        rowOfEntry_[entry] = static_cast<int>(at);
    }
}

std::optional<std::size_t> ProgramListCtrl::ModelRowAt(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= order_.size()) return std::nullopt;
    return order_[static_cast<std::size_t>(row)];
}

const ProgramRow* ProgramListCtrl::RowAt(int row) const {
    const std::optional<std::size_t> at = ModelRowAt(row);
    return at ? &(*model_)[*at] : nullptr;
}

int ProgramListCtrl::PositionOf(std::size_t modelRow) const {
    return modelRow < positionOf_.size() ? positionOf_[modelRow] : -1;
}

void ProgramListCtrl::RedrawModelRows(const std::vector<std::size_t>& modelRows) {
    const auto [first, last] = VisibleRows();
    for (std::size_t modelRow : modelRows) {
        const int row = PositionOf(modelRow);
        if (row >= first && row < last) RedrawItems(row, row);
    }
}

std::optional<std::size_t> ProgramListCtrl::EntryAt(int row) const {
    const ProgramRow* shown = RowAt(row);
    return shown ? std::optional<std::size_t>(shown->entry) : std::nullopt;
}

int ProgramListCtrl::RowOfEntry(std::size_t entry) const {
    return entry < rowOfEntry_.size() ? rowOfEntry_[entry] : -1;
}

bool ProgramListCtrl::IsPhantomRow(int row) const {
    const ProgramRow* shown = RowAt(row);
    return shown && shown->phantom;
}

const std::wstring& ProgramListCtrl::ReasonAt(int row) const {
    const ProgramRow* shown = RowAt(row);
    return shown ? shown->reason : kNoText;
}

std::pair<int, int> ProgramListCtrl::VisibleRows() const {
    const int first = GetTopIndex();
    const int last = std::min(first + GetCountPerPage() + 1, static_cast<int>(order_.size()));
    return {first, std::max(first, last)};
}

void ProgramListCtrl::SetSort(int column, bool ascending) {
    sortColumn_ = column >= 0 && column < kProgramColumns ? column : 0;
    sortAscending_ = ascending;
    ShowSortArrow();
    SortRows();
}

bool ProgramListCtrl::SortRows() {
    std::vector<std::size_t> sorted;
    try {
        std::vector<SortKey> keys;
        keys.reserve(sorted_.size());
        for (std::size_t row : sorted_) keys.push_back(model_->Key(row, sortColumn_));
        const std::vector<std::size_t> order = row_sort::Order(
            keys, ColumnInfoOf(static_cast<ProgramColumn>(sortColumn_)).sort, sortAscending_, &name_order::Compare);
        sorted.reserve(order.size());
        for (std::size_t from : order) sorted.push_back(sorted_[from]);
    } catch (const std::bad_alloc&) {
        return false;
    }
    sorted_ = std::move(sorted);
    try {
        return ShowOrder(Filtered());
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ProgramListCtrl::ShowOrder(std::vector<std::size_t> next) {
    const std::size_t count = next.size();
    const std::size_t before = order_.size();
    // Everything that needs memory comes first: when any of it fails,
    // nothing has moved yet.
    std::vector<char> wasPhantom;
    std::vector<std::size_t> selectedModelRows;
    try {
        wasPhantom.reserve(before);
        for (std::size_t row : order_) wasPhantom.push_back((*model_)[row].phantom);
        for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) {
            if (static_cast<std::size_t>(row) >= before) break;
            selectedModelRows.push_back(order_[static_cast<std::size_t>(row)]);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    const int focusedBefore = FocusedRow();
    const std::optional<std::size_t> focusedEntry = ModelRowAt(focusedBefore);
    order_ = std::move(next);
    IndexPositions();
    if (filling_ || GetItemCount() != static_cast<int>(before)) return true;  // a fill: Show adds the items

    // Texts and images come by callback and follow by themselves; item
    // data and selection stay with the items, so only the positions where
    // they differ are written, and items are added or taken away at the
    // end. Each write repaints its row; past a number of them, switching
    // redrawing off for the lot is cheaper (in Wine switching it back on
    // costs as much as some 200 rows' repaints).
    const std::size_t common = std::min(before, count);
    std::size_t writes = before > count ? before - count : count - before;
    const auto phantomAt = [this](std::size_t row) { return (*model_)[order_[row]].phantom; };
    for (std::size_t row = 0; row < common; ++row) writes += static_cast<bool>(wasPhantom[row]) != phantomAt(row);
    // A search that leaves few of many rows: the few made anew cost less
    // than taking the many away one by one.
    const bool remake = before > count && before - count > count;
    const bool quiet = remake || writes > kQuietWrites;
    if (quiet) SendMessageW(Hwnd(), WM_SETREDRAW, FALSE, 0);
    if (remake) {
        remaking_ = true;
        SendMessageW(Hwnd(), LVM_DELETEALLITEMS, 0, 0);
        remaking_ = false;
        for (std::size_t row = 0; row < count; ++row) InsertRowItem(static_cast<int>(row));
    } else {
        for (std::size_t row = before; row > count; --row) SendMessageW(Hwnd(), LVM_DELETEITEM, row - 1, 0);
        for (std::size_t row = 0; row < common; ++row)
            if (static_cast<bool>(wasPhantom[row]) != phantomAt(row))
                SetItemData(static_cast<int>(row), ItemDataOf((*model_)[order_[row]]));
        // Room for the rows that come back, made at once.
        if (count > before) SendMessageW(Hwnd(), LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
        for (std::size_t row = before; row < count; ++row) InsertRowItem(static_cast<int>(row));
    }
    // The new selection is set before the old one is cleared, so the list
    // never passes through having nothing selected.
    std::vector<int> selectedNow = SelectedRows();
    std::vector<int> selectedAfter;
    for (std::size_t modelRow : selectedModelRows)
        if (const int at = PositionOf(modelRow); at >= 0) selectedAfter.push_back(at);
    std::sort(selectedAfter.begin(), selectedAfter.end());
    for (int row : selectedAfter)
        if (!std::binary_search(selectedNow.begin(), selectedNow.end(), row))
            SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    for (int row : selectedNow)
        if (!std::binary_search(selectedAfter.begin(), selectedAfter.end(), row)) SetItemState(row, 0, LVIS_SELECTED);
    const int focusedAfter = focusedEntry ? PositionOf(*focusedEntry) : -1;
    if (focusedAfter >= 0 && focusedAfter != FocusedRow()) {
        SetItemState(focusedAfter, LVIS_FOCUSED, LVIS_FOCUSED);
        SetSelectionMark(focusedAfter);
    } else if (focusedAfter < 0 && focusedBefore >= 0 && count > 0 && FocusedRow() < 0) {
        // The focused row went behind the filter: the first shown row
        // takes the focus mark, so the keyboard still has a place.
        SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    if (quiet) SendMessageW(Hwnd(), WM_SETREDRAW, TRUE, 0);
    Invalidate();
    if (focusedAfter >= 0) EnsureVisible(focusedAfter);
    return true;
}

void ProgramListCtrl::ShowSortArrow() {
    HWND header = Header();
    if (!header) return;
    const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (static_cast<int>(columns_.ColumnAt(column)) == sortColumn_)
            item.fmt |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
    }
}

void ProgramListCtrl::AnswerDisplayInfo(LVITEMW& item) const {
    const std::optional<std::size_t> at = ModelRowAt(item.iItem);
    if (!at) return;
    const ProgramRow& row = (*model_)[*at];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const std::wstring& text = model_->Text(*at, static_cast<int>(columns_.ColumnAt(item.iSubItem)));
        const std::size_t length = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
        text.copy(item.pszText, length);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE) item.iImage = item.iSubItem == 0 ? row.image : I_IMAGENONE;
}

bool ProgramListCtrl::OnReflect(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
    switch (header.code) {
    case LVN_GETDISPINFOW:
        AnswerDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam)->item);
        result = 0;
        return true;
    case LVN_COLUMNCLICK: {
        // A new column starts ascending; the sorted one flips.
        const int column = static_cast<int>(columns_.ColumnAt(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem));
        SetSort(column, column == sortColumn_ ? !sortAscending_ : true);
        result = 0;
        return true;
    }
    case LVN_DELETEALLITEMS:
        // The rows are gone, and with them what they showed. No
        // LVN_DELETEITEM per row: nothing else is kept per row. A filter
        // that makes its few rows anew keeps its order.
        result = TRUE;
        if (remaking_) return true;
        order_.clear();
        sorted_.clear();
        positionOf_.clear();
        rowOfEntry_.clear();
        result = TRUE;
        return true;
    case NM_CUSTOMDRAW:
        result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        return true;
    default:
        return false;
    }
}

LRESULT ProgramListCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        const theme::RowColors& colors = theme::RowColorsOf(look_);
        const bool dark = look_ == theme::Look::Dark;
        const bool phantom = IsPhantomRow(static_cast<int>(draw.nmcd.dwItemSpec));
        if (!phantom && !dark) return CDRF_NOTIFYSUBITEMDRAW;
        // A selected red row keeps being red, focused or not: dark red
        // with white text instead of the system's highlight. Asked of the
        // row itself: the sub-item stages see the item stage's cleared flag.
        // In the dark look every selected row has its own colours, since
        // the system's for a list without the focus are light.
        const bool selected = (SendMessageW(Hwnd(), LVM_GETITEMSTATE, draw.nmcd.dwItemSpec, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (selected) draw.nmcd.uItemState &= ~CDIS_SELECTED;
        if (!phantom) {
            if (selected) {
                draw.clrText = theme::Dark().selectedRowText;
                draw.clrTextBk = theme::Dark().selectedRow;
            }
            return CDRF_NOTIFYSUBITEMDRAW;
        }
        draw.clrText = selected ? colors.selectedPhantomText : colors.phantomText;
        draw.clrTextBk = selected ? colors.selectedPhantomBackground : colors.phantomBackground;
        return CDRF_NOTIFYSUBITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    }
    case CDDS_ITEMPOSTPAINT:
        DrawBadge(draw);
        return CDRF_DODEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

// The badge goes over the icon's bottom right corner. Drawn here rather
// than as an image-list overlay, which Wine leaves out over icons with an
// alpha channel (as most are).
void ProgramListCtrl::DrawBadge(const NMLVCUSTOMDRAW& draw) const {
    if (!badge_ || !IsPhantomRow(static_cast<int>(draw.nmcd.dwItemSpec))) return;
    RECT icon{};
    if (!GetItemRect(static_cast<int>(draw.nmcd.dwItemSpec), icon, LVIR_ICON)) return;
    const int size = static_cast<int>(std::min(icon.right - icon.left, icon.bottom - icon.top)) / 2;
    DrawIconEx(draw.nmcd.hdc, icon.right - size, icon.bottom - size, badge_.get(), size, size, 0, nullptr, DI_NORMAL);
}

LRESULT ProgramListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ThemedListView::WindowProc(message, wParam, lParam);
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

    fw::Pen pen(CreatePen(PS_SOLID, 2, theme::RowColorsOf(look_).ruling));
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
