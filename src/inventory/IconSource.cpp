#include "inventory/IconSource.h"

int IconIndexFromText(std::string_view iconText) {
    const std::size_t comma = iconText.find(',');
    if (comma == std::string_view::npos || comma + 1 >= iconText.size()) return 0;
    const char digit = iconText[comma + 1];
    return digit >= '0' && digit <= '9' ? digit - '0' : 0;
}

std::string IconTextFromUninstallString(std::string_view uninstallString, const LeadBytes& leads) {
    const std::string lower = LowerCopy(uninstallString, leads);
    std::size_t marker = std::string::npos;
    for (std::string_view candidate : {"program files", "progra~1", "c:\\"}) {
        marker = lower.find(candidate);
        if (marker != std::string::npos) break;
    }
    if (marker == std::string::npos) return {};
    const std::size_t exe = lower.find(".exe", marker);
    if (exe == std::string::npos) return {};
    return std::string(uninstallString.substr(0, exe + 4));
}
