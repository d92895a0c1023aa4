#include "widgets/ShellCommandText.h"

#include <mbstring.h>

namespace shell_text {
namespace {

// Position of `needle` in `text`, stepping over double-byte characters;
// npos when absent.
std::size_t FindMultibyte(const std::string& text, const char* needle) {
    const auto* start = reinterpret_cast<const unsigned char*>(text.c_str());
    const unsigned char* found = _mbsstr(start, reinterpret_cast<const unsigned char*>(needle));
    return found ? static_cast<std::size_t>(found - start) : std::string::npos;
}

}  // namespace

std::string CutAtPlaceholder(std::string_view command) {
    // Up to a zero byte, as the command buffer holds it.
    std::string text(command.substr(0, command.find('\0')));
    std::size_t cut = FindMultibyte(text, "\"%1\"");
    if (cut == std::string::npos) cut = FindMultibyte(text, "%1");
    if (cut != std::string::npos) text.resize(cut);
    return text;
}

std::optional<std::string> BrowserCommand(std::string_view command, std::string_view url, std::size_t capacity) {
    std::string result = CutAtPlaceholder(command);
    if (result.size() + 1 + url.size() + 1 > capacity) return std::nullopt;
    result += ' ';
    result += url;
    return result;
}

std::string LinkErrorText(std::intptr_t code) {
    const char* text = nullptr;
    switch (code) {
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case 2: text = "The specified file was not found."; break;
    case 3: text = "The specified path was not found."; break;
    case 5: text = "The operating system denied\naccess to the specified file."; break;
    case 8: text = "There was not enough memory to complete the operation."; break;
    case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: text = "A sharing violation occurred. "; break;
    case 27: text = "The filename association is\nincomplete or invalid."; break;
    case 28: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case 29: text = "The DDE transaction failed."; break;
    case 30:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case 31: text = "There is no application associated\nwith the given filename extension."; break;
    case 32: text = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    std::string message = "Can't open link:\n\n";
    if (text) {
        message += text;
    } else {
        message += "Unknown Error (" + std::to_string(code) + ") occurred.";
    }
    return message;
}

}  // namespace shell_text
