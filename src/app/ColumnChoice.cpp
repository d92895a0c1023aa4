#include "app/ColumnChoice.h"

#include <algorithm>

#include "framework/Dpi.h"

namespace {

int FormatOf(ProgramColumn column) { return ColumnInfoOf(column).rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT; }

// The menu's item ids: one above each column's number, 0 being no choice.
constexpr UINT kFirstItem = 1;

}  // namespace

ColumnChoice::Layout ColumnChoice::DefaultLayout(UINT dpi) {
    Layout layout;
    for (int column = 0; column < kProgramColumns; ++column) {
        const ColumnInfo& info = ColumnInfoOf(static_cast<ProgramColumn>(column));
        layout.widths[column] = fw::Scaled(info.width, dpi);
        layout.shown[column] = info.shownByDefault;
        layout.order[column] = static_cast<int>(kDefaultColumnOrder[column]);
    }
    return layout;
}

void ColumnChoice::SetUp(fw::ListView& list, UINT dpi) { Apply(list, DefaultLayout(dpi)); }

int ColumnChoice::IndexOf(ProgramColumn column) const {
    const auto at = std::find(shown_.begin(), shown_.end(), column);
    return at == shown_.end() ? -1 : static_cast<int>(at - shown_.begin());
}

ProgramColumn ColumnChoice::ColumnAt(int index) const {
    return index >= 0 && index < ShownCount() ? shown_[static_cast<std::size_t>(index)] : ProgramColumn::Name;
}

std::vector<int> ColumnChoice::ScreenOrder(const fw::ListView& list) const {
    std::vector<int> indexes(shown_.size());
    std::vector<int> columns;
    if (indexes.empty() || !SendMessageW(list.Hwnd(), LVM_GETCOLUMNORDERARRAY, indexes.size(),
                                         reinterpret_cast<LPARAM>(indexes.data())))
        for (std::size_t i = 0; i < indexes.size(); ++i) indexes[i] = static_cast<int>(i);
    for (int index : indexes) columns.push_back(static_cast<int>(ColumnAt(index)));
    return columns;
}

void ColumnChoice::SetScreenOrder(fw::ListView& list, const std::vector<int>& columns) const {
    std::vector<int> indexes;
    for (int column : columns)
        if (const int index = IndexOf(static_cast<ProgramColumn>(column)); index >= 0) indexes.push_back(index);
    if (indexes.size() != shown_.size()) return;
    SendMessageW(list.Hwnd(), LVM_SETCOLUMNORDERARRAY, indexes.size(), reinterpret_cast<LPARAM>(indexes.data()));
}

ColumnChoice::Layout ColumnChoice::Current(const fw::ListView& list) const {
    Layout layout;
    layout.widths = hiddenWidths_;
    for (int index = 0; index < ShownCount(); ++index) {
        const int column = static_cast<int>(ColumnAt(index));
        layout.widths[column] = static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETCOLUMNWIDTH, index, 0));
        layout.shown[column] = true;
    }
    std::vector<int> order = ScreenOrder(list);
    for (int column : hiddenOrder_)
        if (!layout.shown[column]) order.push_back(column);
    for (int column = 0; column < kProgramColumns; ++column)
        if (std::find(order.begin(), order.end(), column) == order.end()) order.push_back(column);
    std::copy_n(order.begin(), kProgramColumns, layout.order.begin());
    return layout;
}

void ColumnChoice::Apply(fw::ListView& list, const Layout& layout) {
    Layout wanted = layout;
    wanted.shown[static_cast<int>(ProgramColumn::Name)] = true;
    std::array<bool, kProgramColumns> seen{};
    for (int column : wanted.order) {
        if (column < 0 || column >= kProgramColumns || seen[column]) {
            wanted.order = DefaultLayout(fw::kDefaultDpi).order;
            break;
        }
        seen[column] = true;
    }
    hiddenWidths_ = wanted.widths;
    // Columns go and come without the rows being filled again.
    for (int column = kProgramColumns - 1; column > 0; --column)
        if (!wanted.shown[column]) SetShown(list, static_cast<ProgramColumn>(column), false);
    for (int column = 0; column < kProgramColumns; ++column) {
        const auto which = static_cast<ProgramColumn>(column);
        if (wanted.shown[column] && !Shown(which)) SetShown(list, which, true);
        if (const int index = IndexOf(which); index >= 0 && wanted.widths[column] > 0)
            SendMessageW(list.Hwnd(), LVM_SETCOLUMNWIDTH, index, wanted.widths[column]);
    }
    std::vector<int> order(wanted.order.begin(), wanted.order.end());
    hiddenOrder_.clear();
    for (int column : order)
        if (!wanted.shown[column]) hiddenOrder_.push_back(column);
    order.erase(std::remove_if(order.begin(), order.end(), [&](int column) { return !wanted.shown[column]; }),
                order.end());
    SetScreenOrder(list, order);
}

void ColumnChoice::SetShown(fw::ListView& list, ProgramColumn column, bool shown) {
    if (Shown(column) == shown || (column == ProgramColumn::Name && !shown)) return;
    const int number = static_cast<int>(column);
    std::vector<int> order = ScreenOrder(list);
    if (!shown) {
        const int index = IndexOf(column);
        hiddenWidths_[number] = static_cast<int>(SendMessageW(list.Hwnd(), LVM_GETCOLUMNWIDTH, index, 0));
        if (!SendMessageW(list.Hwnd(), LVM_DELETECOLUMN, index, 0)) return;
        shown_.erase(shown_.begin() + index);
        order.erase(std::remove(order.begin(), order.end(), number), order.end());
        hiddenOrder_.insert(hiddenOrder_.begin(), number);
    } else {
        const int index = static_cast<int>(
            std::lower_bound(shown_.begin(), shown_.end(), column) - shown_.begin());
        const ColumnInfo& info = ColumnInfoOf(column);
        const int width = hiddenWidths_[number] > 0 ? hiddenWidths_[number] : info.width;
        if (list.InsertColumn(index, info.title, width, FormatOf(column)) != index) return;
        shown_.insert(shown_.begin() + index, column);
        // Every row asks for the new column's text as for the others'.
        for (int row = 0; row < list.GetItemCount(); ++row) list.SetCallbackText(row, index);
        order.push_back(number);
        hiddenOrder_.erase(std::remove(hiddenOrder_.begin(), hiddenOrder_.end(), number), hiddenOrder_.end());
    }
    SetScreenOrder(list, order);
}

std::optional<ProgramColumn> ColumnChoice::Choose(HWND owner, POINT screen) const {
    HMENU menu = CreatePopupMenu();
    if (!menu) return std::nullopt;
    for (int column = 0; column < kProgramColumns; ++column) {
        const auto which = static_cast<ProgramColumn>(column);
        UINT flags = MF_STRING | (Shown(which) ? MF_CHECKED : MF_UNCHECKED);
        if (which == ProgramColumn::Name) flags |= MF_GRAYED;
        AppendMenuW(menu, flags, kFirstItem + static_cast<UINT>(column), ColumnInfoOf(which).title);
    }
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, owner, nullptr));
    DestroyMenu(menu);
    if (chosen < kFirstItem || chosen >= kFirstItem + kProgramColumns) return std::nullopt;
    return static_cast<ProgramColumn>(chosen - kFirstItem);
}
