#include "app/LaunchMode.h"

#include <string>
#include <vector>

#include "registry/RegistryText.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The words after the program name, without their quotes.
std::vector<std::wstring> Arguments(std::wstring_view line) {
    std::size_t at = 0;
    // The program name ends at its closing quote, or at the first blank;
    // Windows takes no escapes in it.
    if (!line.empty() && line[0] == L'"') {
        const std::size_t close = line.find(L'"', 1);
        at = close == std::wstring_view::npos ? line.size() : close + 1;
    }
    while (at < line.size() && !IsBlank(line[at])) ++at;

    std::vector<std::wstring> words;
    while (at < line.size()) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at == line.size()) break;
        std::wstring word;
        bool quoted = false;
        for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
            if (line[at] == L'"') quoted = !quoted;
            else word += line[at];
        }
        words.push_back(word);
    }
    return words;
}

bool IsUpgradeSwitch(std::wstring word) {
    if (!word.empty() && word[0] == L'-') word[0] = L'/';
    if (word.size() != LaunchMode::kUpgradeSwitch.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (registry_text::AsciiLower(word[i]) != LaunchMode::kUpgradeSwitch[i]) return false;
    return true;
}

}  // namespace

LaunchMode::Kind LaunchMode::Parse(std::wstring_view commandLine) {
    const std::vector<std::wstring> words = Arguments(commandLine);
    return words.size() == 1 && IsUpgradeSwitch(words[0]) ? Kind::Upgrade : Kind::Window;
}
