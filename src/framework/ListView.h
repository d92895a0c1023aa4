#pragma once
// A report-view list control bound to a dialog item: the SysListView32
// operations the program uses. Texts are UTF-16, through the controls'
// wide messages, so a row shows any name exactly.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/UniqueHandle.h"

namespace fw {

class ListView : public Control {
public:
    int InsertColumn(int index, const wchar_t* heading, int width, int format = LVCFMT_LEFT);
    // Inserts a row at `index` with text and image; its item data is 0.
    int InsertItem(int index, const std::wstring& text, int image);
    // The same with the row's item data set in the same step.
    int InsertItem(int index, const std::wstring& text, int image, LPARAM data);
    // A row whose text and image the control asks its parent for
    // (LVN_GETDISPINFO) whenever it needs them; its item data set.
    int InsertCallbackItem(int index, LPARAM data);
    // A sub-item whose text the control asks for the same way.
    bool SetCallbackText(int index, int subItem);
    bool SetItemText(int index, int subItem, const std::wstring& text);
    std::wstring GetItemText(int index, int subItem) const;
    LPARAM GetItemData(int index) const;
    bool SetItemData(int index, LPARAM data);
    int GetItemCount() const;
    // Room for `count` rows at once, before inserting that many.
    void ReserveItems(int count);
    int GetItemImage(int index) const;
    bool SetItemImage(int index, int image);
    bool DeleteAllItems();
    // The next row after `after` (-1: from the start) in the given state.
    int GetNextItem(int after, UINT flags) const;
    bool SetItemState(int index, UINT state, UINT mask);
    bool GetItemRect(int index, RECT& rect, int code) const;
    int GetCountPerPage() const;
    // The first row on screen.
    int GetTopIndex() const;
    bool EnsureVisible(int index);
    // Repaints rows first..last when they are on screen.
    void RedrawItems(int first, int last);
    // The anchor of a shift-click range.
    void SetSelectionMark(int index);
    // Hands an image list to the control, which owns it from then on and
    // destroys it with itself (a list without LVS_SHAREIMAGELISTS does); a
    // list it held before is destroyed now.
    void AdoptImageList(ImageListHandle images, int which);
    // The image list the control holds, borrowed; null when none.
    HIMAGELIST GetImageList(int which) const;
    bool SetTextBkColor(COLORREF color);
    bool SetBkImage(const std::wstring& url, int xOffsetPercent, int yOffsetPercent);
    // No background picture any more.
    void RemoveBkImage();
    void SetExtendedStyle(DWORD style);
    // The control sends its notifications in UTF-16 (LVN_GETINFOTIPW and
    // the like) whatever its parent window is.
    void UseWideNotifications();
    HWND Header() const;
    // The first selected row, or -1.
    int FirstSelected() const;
    // Every selected row, in order.
    std::vector<int> SelectedRows() const;
    int SelectedCount() const;
    // Selects exactly `rows` (none: an empty list), gives `focus` the focus
    // mark (-1: leaves it) and scrolls it into view.
    void SelectRows(const std::vector<int>& rows, int focus);
    int FocusedRow() const { return GetNextItem(-1, LVNI_FOCUSED); }
};

}  // namespace fw
