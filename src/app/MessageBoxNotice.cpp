#include "app/MessageBoxNotice.h"

#include <windows.h>

FetchNotice MessageBoxNotice() {
    return [](const std::string& text, const std::string& caption) {
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONEXCLAMATION | MB_OK);
    };
}
