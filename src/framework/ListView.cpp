#include "framework/ListView.h"

#include <vector>

namespace fw {

int ListView::InsertColumn(int index, const wchar_t* heading, int width, int format) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading);
    column.iSubItem = index;
    return static_cast<int>(SendMessageW(Hwnd(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
}

int ListView::InsertItem(int index, const std::wstring& text, int image) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(SendMessageW(Hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::InsertItem(int index, const std::wstring& text, int image, LPARAM data) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessageW(Hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::InsertCallbackItem(int index, LPARAM data) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.iImage = I_IMAGECALLBACK;
    item.lParam = data;
    return static_cast<int>(SendMessageW(Hwnd(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetCallbackText(int index, int subItem) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = LPSTR_TEXTCALLBACKW;
    return SendMessageW(Hwnd(), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::SetItemText(int index, int subItem, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessageW(Hwnd(), LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring ListView::GetItemText(int index, int subItem) const {
    // The control copies at most the buffer's size and says how much it
    // wrote; a full buffer may mean a longer text, so grow and ask again.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(
            SendMessageW(Hwnd(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size() || buffer.size() >= 65536) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

LPARAM ListView::GetItemData(int index) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessageW(Hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

bool ListView::SetItemData(int index, LPARAM data) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = data;
    return SendMessageW(Hwnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int ListView::GetItemCount() const { return static_cast<int>(SendMessageW(Hwnd(), LVM_GETITEMCOUNT, 0, 0)); }

void ListView::ReserveItems(int count) { SendMessageW(Hwnd(), LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL); }

int ListView::GetItemImage(int index) const {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    return SendMessageW(Hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
}

bool ListView::SetItemImage(int index, int image) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = image;
    return SendMessageW(Hwnd(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::DeleteAllItems() { return SendMessageW(Hwnd(), LVM_DELETEALLITEMS, 0, 0) != 0; }

int ListView::GetNextItem(int after, UINT flags) const {
    return static_cast<int>(SendMessageW(Hwnd(), LVM_GETNEXTITEM, after, MAKELPARAM(flags, 0)));
}

bool ListView::SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return SendMessageW(Hwnd(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::GetItemRect(int index, RECT& rect, int code) const {
    rect.left = code;
    return SendMessageW(Hwnd(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0;
}

int ListView::GetCountPerPage() const { return static_cast<int>(SendMessageW(Hwnd(), LVM_GETCOUNTPERPAGE, 0, 0)); }

int ListView::GetTopIndex() const { return static_cast<int>(SendMessageW(Hwnd(), LVM_GETTOPINDEX, 0, 0)); }

bool ListView::EnsureVisible(int index) { return SendMessageW(Hwnd(), LVM_ENSUREVISIBLE, index, FALSE) != 0; }

void ListView::RedrawItems(int first, int last) { SendMessageW(Hwnd(), LVM_REDRAWITEMS, first, last); }

void ListView::SetSelectionMark(int index) { SendMessageW(Hwnd(), LVM_SETSELECTIONMARK, 0, index); }

void ListView::AdoptImageList(ImageListHandle images, int which) {
    ImageListHandle previous(reinterpret_cast<HIMAGELIST>(
        SendMessageW(Hwnd(), LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(images.get()))));
    if (previous.get() == images.get()) previous.release();  // handed over again
    if (GetImageList(which) == images.get()) images.release();  // the control's now
}

HIMAGELIST ListView::GetImageList(int which) const {
    return reinterpret_cast<HIMAGELIST>(SendMessageW(Hwnd(), LVM_GETIMAGELIST, which, 0));
}

bool ListView::SetTextBkColor(COLORREF color) { return SendMessageW(Hwnd(), LVM_SETTEXTBKCOLOR, 0, color) != 0; }

bool ListView::SetBkImage(const std::wstring& url, int xOffsetPercent, int yOffsetPercent) {
    LVBKIMAGEW image{};
    image.ulFlags = LVBKIF_SOURCE_URL;
    image.pszImage = const_cast<wchar_t*>(url.c_str());
    image.xOffsetPercent = xOffsetPercent;
    image.yOffsetPercent = yOffsetPercent;
    return SendMessageW(Hwnd(), LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image)) != 0;
}

void ListView::RemoveBkImage() {
    LVBKIMAGEW image{};
    image.ulFlags = LVBKIF_SOURCE_NONE;
    SendMessageW(Hwnd(), LVM_SETBKIMAGEW, 0, reinterpret_cast<LPARAM>(&image));
}

void ListView::SetExtendedStyle(DWORD style) { SendMessageW(Hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }

void ListView::UseWideNotifications() { SendMessageW(Hwnd(), LVM_SETUNICODEFORMAT, TRUE, 0); }

HWND ListView::Header() const { return reinterpret_cast<HWND>(SendMessageW(Hwnd(), LVM_GETHEADER, 0, 0)); }

int ListView::FirstSelected() const { return GetNextItem(-1, LVNI_SELECTED); }

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(SelectedCount()));
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(row, LVNI_SELECTED)) rows.push_back(row);
    return rows;
}

int ListView::SelectedCount() const { return static_cast<int>(SendMessageW(Hwnd(), LVM_GETSELECTEDCOUNT, 0, 0)); }

void ListView::SelectRows(const std::vector<int>& rows, int focus) {
    SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (focus < 0) return;
    SetItemState(focus, LVIS_FOCUSED, LVIS_FOCUSED);
    EnsureVisible(focus);
}

}  // namespace fw
