#pragma once
// The large icon an icon location names (a file and an index in it, as
// DisplayIcon gives them); empty when there is none.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

inline Icon ExtractLargeIcon(const std::wstring& file, int index) {
    Icon icon;
    if (ExtractIconExW(file.c_str(), index, icon.put(), nullptr, 1) == 0) icon.release();
    return icon;
}

}  // namespace fw
