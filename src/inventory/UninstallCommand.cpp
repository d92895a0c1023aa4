#include "inventory/UninstallCommand.h"

#include "registry/RegistryText.h"

std::wstring AsciiLowerCopy(std::wstring_view text) {
    std::wstring lower(text);
    for (wchar_t& c : lower) c = registry_text::AsciiLower(c);
    return lower;
}

std::wstring CleanPath(std::wstring_view text) {
    std::wstring clean;
    for (wchar_t c : text) {
        if (c == L',' || c == L';') break;
        if (c != L'"') clean.push_back(c);
    }
    return clean;
}

UninstallCommand SplitUninstallString(std::wstring_view uninstallString) {
    const std::wstring lower = AsciiLowerCopy(uninstallString);
    const bool startsWithRundll = lower.size() > 8 && lower.starts_with(L"rundll32");

    std::size_t split = std::wstring::npos;
    if (!startsWithRundll) {
        if (std::size_t exe = lower.find(L".exe"); exe != std::wstring::npos) {
            split = lower.find(L' ', exe + 1);
            if (split == std::wstring::npos) split = uninstallString.size();
        }
    }
    if (split == std::wstring::npos) {
        split = lower.find(L' ');
        if (split == std::wstring::npos) split = uninstallString.size();
    }

    UninstallCommand command;
    command.programPath = CleanPath(uninstallString.substr(0, split));
    if (split < uninstallString.size()) command.programArgs = uninstallString.substr(split + 1);
    return command;
}

namespace {

std::wstring_view WithoutLeadingBlanks(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L' ');
    return first == std::wstring_view::npos ? std::wstring_view() : text.substr(first);
}

}  // namespace

std::vector<UninstallCommand> CommandCandidates(std::wstring_view uninstallString) {
    std::vector<UninstallCommand> candidates;
    if (uninstallString.starts_with(L'"')) {
        const std::size_t close = uninstallString.find(L'"', 1);
        if (close == std::wstring_view::npos) {
            candidates.push_back({std::wstring(uninstallString.substr(1)), {}});
        } else {
            candidates.push_back({std::wstring(uninstallString.substr(1, close - 1)),
                                  std::wstring(WithoutLeadingBlanks(uninstallString.substr(close + 1)))});
        }
        return candidates;
    }
    for (std::size_t blank = uninstallString.find(L' '); blank != std::wstring_view::npos;
         blank = uninstallString.find(L' ', blank + 1)) {
        if (blank == 0 || uninstallString[blank - 1] == L' ') continue;  // no new path ends here
        candidates.push_back({std::wstring(uninstallString.substr(0, blank)),
                              std::wstring(uninstallString.substr(blank + 1))});
    }
    if (!uninstallString.empty() && !uninstallString.ends_with(L' ')) {
        candidates.push_back({std::wstring(uninstallString), {}});
    }
    return candidates;
}

std::wstring SystemFolderAlias(std::wstring_view path, std::wstring_view windowsFolder, std::wstring_view alias) {
    std::wstring folder(windowsFolder);
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    const std::wstring system = AsciiLowerCopy(folder + L"\\System32\\");
    if (system.size() <= 11 || path.size() < system.size() || AsciiLowerCopy(path.substr(0, system.size())) != system) {
        return std::wstring(path);
    }
    return folder + L"\\" + std::wstring(alias) + L"\\" + std::wstring(path.substr(system.size()));
}
