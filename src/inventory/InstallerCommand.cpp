#include "inventory/InstallerCommand.h"

#include <algorithm>
#include <cwctype>

#include "registry/RegistryText.h"

namespace installer_command {

namespace {

using registry_text::SameIgnoringAsciiCase;

bool StartsIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && SameIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view SkipBlanks(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

// The program part of a command and what follows it: to the closing quote
// of a quoted program, otherwise to the first blank.
std::pair<std::wstring_view, std::wstring_view> SplitProgram(std::wstring_view command) {
    command = SkipBlanks(command);
    if (command.starts_with(L'"')) {
        const std::size_t close = command.find(L'"', 1);
        if (close == std::wstring_view::npos) return {command.substr(1), {}};
        return {command.substr(1, close - 1), command.substr(close + 1)};
    }
    std::size_t end = 0;
    while (end < command.size() && !IsBlank(command[end])) ++end;
    return {command.substr(0, end), command.substr(end)};
}

bool IsMsiexec(std::wstring_view program) {
    const std::size_t slash = program.find_last_of(L"\\/");
    const std::wstring_view file = slash == std::wstring_view::npos ? program : program.substr(slash + 1);
    for (std::wstring_view spelling : kPrograms)
        if (SameIgnoringAsciiCase(file, spelling)) return true;
    return false;
}

}  // namespace

bool IsProductCode(std::wstring_view text) {
    constexpr std::wstring_view kShape = L"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != kShape.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == L'X' ? !std::iswxdigit(text[i]) || text[i] > 0x7F : text[i] != kShape[i]) return false;
    }
    return true;
}

std::optional<std::wstring> ProductCodeOfCommand(std::wstring_view command) {
    auto [program, rest] = SplitProgram(command);
    if (!IsMsiexec(program)) return std::nullopt;
    // Each argument in turn: an option of kOptions, then the code, glued to
    // it or after blanks. Other options (/qb, /norestart) may come first.
    for (rest = SkipBlanks(rest); !rest.empty(); rest = SkipBlanks(rest)) {
        for (std::wstring_view option : kOptions) {
            if (!StartsIgnoringCase(rest, option)) continue;
            // "/I{code}", "/I {code}" and "/X"{code}"", but not "/Install"
            // or "/Xyz"; the next option may follow at once ("/X{code}/qn").
            std::wstring_view code = SkipBlanks(rest.substr(option.size()));
            const bool quoted = code.starts_with(L'"');
            if (quoted) code.remove_prefix(1);
            std::wstring_view after = code.substr(std::min<std::size_t>(code.size(), 38));
            code = code.substr(0, 38);
            if (quoted) {
                if (!after.starts_with(L'"')) continue;
                after.remove_prefix(1);
            }
            if (IsProductCode(code) && (after.empty() || IsBlank(after.front()) || after.front() == L'/'))
                return std::wstring(code);
        }
        while (!rest.empty() && !IsBlank(rest.front())) rest.remove_prefix(1);
    }
    return std::nullopt;
}

}  // namespace installer_command
