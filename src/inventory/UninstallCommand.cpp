#include "inventory/UninstallCommand.h"

std::string LowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string CleanPath(std::string_view text) {
    std::string clean;
    for (char c : text) {
        if (c == ',' || c == ';') break;
        if (c != '"') clean.push_back(c);
    }
    return clean;
}

UninstallCommand SplitUninstallString(std::string_view uninstallString) {
    const std::string lower = LowerCopy(uninstallString);
    const bool startsWithRundll = lower.size() > 8 && lower.starts_with("rundll32");

    std::size_t split = std::string::npos;
    if (!startsWithRundll) {
        if (std::size_t exe = lower.find(".exe"); exe != std::string::npos) {
            split = lower.find(' ', exe + 1);
            if (split == std::string::npos) split = uninstallString.size();
        }
    }
    if (split == std::string::npos) {
        split = lower.find(' ');
        if (split == std::string::npos) split = uninstallString.size();
    }

    UninstallCommand command;
    command.programPath = CleanPath(uninstallString.substr(0, split));
    if (split < uninstallString.size()) command.programArgs = uninstallString.substr(split + 1);
    return command;
}
