#include "framework/ListView.h"

#include <vector>

namespace fw {

int ListView::InsertColumn(int index, const char* heading, int width, int format) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(heading);
    column.iSubItem = index;
    return static_cast<int>(SendMessageA(Hwnd(), LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

int ListView::InsertItem(int index, const std::string& text, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(SendMessageA(Hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::InsertItem(int index, const std::string& text, int image, LPARAM data) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    item.lParam = data;
    return static_cast<int>(SendMessageA(Hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetItemText(int index, int subItem, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text.c_str());
    return SendMessageA(Hwnd(), LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

std::string ListView::GetItemText(int index, int subItem) const {
    // The control copies at most the buffer's size and says how much it
    // wrote; a full buffer may mean a longer text, so grow and ask again.
    std::vector<char> buffer(256);
    for (;;) {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto length = static_cast<std::size_t>(
            SendMessageA(Hwnd(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < buffer.size() || buffer.size() >= 65536) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);
    }
}

LPARAM ListView::GetItemData(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return SendMessageA(Hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam : 0;
}

bool ListView::SetItemData(int index, LPARAM data) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = data;
    return SendMessageA(Hwnd(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int ListView::GetItemCount() const { return static_cast<int>(SendMessageA(Hwnd(), LVM_GETITEMCOUNT, 0, 0)); }

void ListView::ReserveItems(int count) { SendMessageA(Hwnd(), LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL); }

int ListView::GetItemImage(int index) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    return SendMessageA(Hwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? item.iImage : -1;
}

bool ListView::SetItemImage(int index, int image) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    item.iImage = image;
    return SendMessageA(Hwnd(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::DeleteAllItems() { return SendMessageA(Hwnd(), LVM_DELETEALLITEMS, 0, 0) != 0; }

int ListView::GetNextItem(int after, UINT flags) const {
    return static_cast<int>(SendMessageA(Hwnd(), LVM_GETNEXTITEM, after, MAKELPARAM(flags, 0)));
}

bool ListView::SetItemState(int index, UINT state, UINT mask) {
    LVITEMA item{};
    item.state = state;
    item.stateMask = mask;
    return SendMessageA(Hwnd(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::GetItemRect(int index, RECT& rect, int code) const {
    rect.left = code;
    return SendMessageA(Hwnd(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rect)) != 0;
}

int ListView::GetCountPerPage() const { return static_cast<int>(SendMessageA(Hwnd(), LVM_GETCOUNTPERPAGE, 0, 0)); }

bool ListView::SortItems(PFNLVCOMPARE compare, LPARAM param) {
    return SendMessageA(Hwnd(), LVM_SORTITEMS, param, reinterpret_cast<LPARAM>(compare)) != 0;
}

void ListView::AdoptImageList(ImageListHandle images, int which) {
    ImageListHandle previous(reinterpret_cast<HIMAGELIST>(
        SendMessageA(Hwnd(), LVM_SETIMAGELIST, which, reinterpret_cast<LPARAM>(images.get()))));
    if (previous.get() == images.get()) previous.release();  // handed over again
    if (GetImageList(which) == images.get()) images.release();  // the control's now
}

HIMAGELIST ListView::GetImageList(int which) const {
    return reinterpret_cast<HIMAGELIST>(SendMessageA(Hwnd(), LVM_GETIMAGELIST, which, 0));
}

bool ListView::SetTextBkColor(COLORREF color) { return SendMessageA(Hwnd(), LVM_SETTEXTBKCOLOR, 0, color) != 0; }

bool ListView::SetBkImage(const std::string& url, int xOffsetPercent, int yOffsetPercent) {
    LVBKIMAGEA image{};
    image.ulFlags = LVBKIF_SOURCE_URL;
    image.pszImage = const_cast<char*>(url.c_str());
    image.xOffsetPercent = xOffsetPercent;
    image.yOffsetPercent = yOffsetPercent;
    return SendMessageA(Hwnd(), LVM_SETBKIMAGEA, 0, reinterpret_cast<LPARAM>(&image)) != 0;
}

void ListView::SetExtendedStyle(DWORD style) { SendMessageA(Hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }

HWND ListView::Header() const { return reinterpret_cast<HWND>(SendMessageA(Hwnd(), LVM_GETHEADER, 0, 0)); }

int ListView::FirstSelected() const { return GetNextItem(-1, LVNI_SELECTED); }

}  // namespace fw
