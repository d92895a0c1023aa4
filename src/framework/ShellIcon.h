#pragma once
// The icon an icon location names (a file and an index in it, as
// DisplayIcon gives them), at the size it is drawn: the file's own picture
// of that size where it has one. Empty when there is none. And the shield,
// and an icon as a menu's picture.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

inline Icon ExtractIconAt(const std::wstring& file, int index, int size) {
    Icon icon;
    const UINT sizes = MAKELONG(size, size);
    if (SHDefExtractIconW(file.c_str(), index, 0, icon.put(), nullptr, sizes) != S_OK) icon.release();
    return icon;
}

// Windows' shield, the mark of what asks for administrator rights, at
// `size` pixels; empty where the system has none.
inline Icon ShieldIcon(int size) {
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICONLOCATION, &info))) return Icon();
    return ExtractIconAt(info.szPath, info.iIcon, size);
}

// An icon drawn into a 32-bit bitmap of `size` pixels with its
// transparency, as a menu shows a picture beside an item.
inline Bitmap IconBitmap(HICON icon, int size) {
    if (!icon) return Bitmap();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const MemoryDcHandle dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) return Bitmap();
    const HGDIOBJ previous = SelectObject(dc.get(), bitmap.get());
    DrawIconEx(dc.get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    SelectObject(dc.get(), previous);
    return bitmap;
}

}  // namespace fw
