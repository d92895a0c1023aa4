#pragma once
// The icon an icon location names (a file and an index in it, as
// DisplayIcon gives them), at the size it is drawn: the file's own picture
// of that size where it has one. Empty when there is none.

#include <windows.h>
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

}  // namespace fw
