#pragma once
// Putting text on the clipboard, as UTF-16 so any script survives.

#include <windows.h>

#include <cstring>
#include <string>

namespace fw {

// True when the clipboard now holds `text`. The memory is the clipboard's
// once it took it, ours to free otherwise.
inline bool CopyToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    struct Closer {
        ~Closer() { CloseClipboard(); }
    } closer;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, text.c_str(), bytes);
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory)) return true;
    }
    GlobalFree(memory);
    return false;
}

}  // namespace fw
