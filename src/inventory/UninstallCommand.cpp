#include "inventory/UninstallCommand.h"

std::string CleanPath(std::string_view text) {
    std::string clean;
    for (char c : text) {
        if (c == ',' || c == ';') break;
        if (c != '"') clean.push_back(c);
    }
    return clean;
}

UninstallCommand SplitUninstallString(std::string_view uninstallString, const LeadBytes& leads) {
    const std::string lower = LowerCopy(uninstallString, leads);
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

namespace {

std::string_view WithoutLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace

std::vector<UninstallCommand> CommandCandidates(std::string_view uninstallString) {
    std::vector<UninstallCommand> candidates;
    // Quotes, blanks, commas and semicolons are all below 0x40, where no
    // double-byte character has its second byte: plain byte searches are safe.
    if (uninstallString.starts_with('"')) {
        const std::size_t close = uninstallString.find('"', 1);
        if (close == std::string_view::npos) {
            candidates.push_back({std::string(uninstallString.substr(1)), {}});
        } else {
            candidates.push_back({std::string(uninstallString.substr(1, close - 1)),
                                  std::string(WithoutLeadingBlanks(uninstallString.substr(close + 1)))});
        }
        return candidates;
    }
    for (std::size_t blank = uninstallString.find(' '); blank != std::string_view::npos;
         blank = uninstallString.find(' ', blank + 1)) {
        if (blank == 0 || uninstallString[blank - 1] == ' ') continue;  // no new path ends here
        candidates.push_back({std::string(uninstallString.substr(0, blank)),
                              std::string(uninstallString.substr(blank + 1))});
    }
    if (!uninstallString.empty() && !uninstallString.ends_with(' ')) {
        candidates.push_back({std::string(uninstallString), {}});
    }
    return candidates;
}

std::string SystemFolderAlias(std::string_view path, std::string_view windowsFolder, std::string_view alias,
                              const LeadBytes& leads) {
    std::string folder(windowsFolder);
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    const std::string system = LowerCopy(folder + "\\System32\\", leads);
    if (system.size() <= 11 || path.size() < system.size() ||
        LowerCopy(path.substr(0, system.size()), leads) != system) {
        return std::string(path);
    }
    return folder + "\\" + std::string(alias) + "\\" + std::string(path.substr(system.size()));
}
