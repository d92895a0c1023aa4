#pragma once
// A report-view list control bound to a dialog item: the SysListView32
// operations the program uses, in ANSI.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Control.h"

namespace fw {

class ListView : public Control {
public:
    int InsertColumn(int index, const char* heading, int width, int format = LVCFMT_LEFT);
    // Appends a row at `index` with text and image; its item data is 0.
    int InsertItem(int index, const std::string& text, int image);
    // The same with the row's item data set in the same step.
    int InsertItem(int index, const std::string& text, int image, LPARAM data);
    bool SetItemText(int index, int subItem, const std::string& text);
    std::string GetItemText(int index, int subItem) const;
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
    bool SortItems(PFNLVCOMPARE compare, LPARAM param);
    HIMAGELIST SetImageList(HIMAGELIST images, int which);
    bool SetTextBkColor(COLORREF color);
    bool SetBkImage(const std::string& url, int xOffsetPercent, int yOffsetPercent);
    void SetExtendedStyle(DWORD style);
    HWND Header() const;
};

}  // namespace fw
