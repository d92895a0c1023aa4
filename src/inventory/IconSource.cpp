#include "inventory/IconSource.h"

#include "inventory/UninstallCommand.h"

int IconIndexFromText(std::wstring_view iconText) {
    const std::size_t comma = iconText.find(L',');
    if (comma == std::wstring_view::npos || comma + 1 >= iconText.size()) return 0;
    const wchar_t digit = iconText[comma + 1];
    return digit >= L'0' && digit <= L'9' ? digit - L'0' : 0;
}

std::wstring IconTextFromUninstallString(std::wstring_view uninstallString) {
    const std::wstring lower = AsciiLowerCopy(uninstallString);
    std::size_t marker = std::wstring::npos;
    for (std::wstring_view candidate : {L"program files", L"progra~1", L"c:\\"}) {
        marker = lower.find(candidate);
        if (marker != std::wstring::npos) break;
    }
    if (marker == std::wstring::npos) return {};
    const std::size_t exe = lower.find(L".exe", marker);
    if (exe == std::wstring::npos) return {};
    return std::wstring(uninstallString.substr(0, exe + 4));
}
