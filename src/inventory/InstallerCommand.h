#pragma once
// Windows Installer entries: the product code an entry is registered for,
// from its key name or from an uninstall command that runs msiexec on it.
// Pure text functions.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace installer_command {

// The spellings of the program and of the options by which a command runs
// msiexec on a product; letter case is never significant. The program may
// stand in quotes and carry any folder; the code follows its option with or
// without a blank, in quotes or not, and the next option may follow it
// without a blank.
inline constexpr std::array<std::wstring_view, 2> kPrograms{L"msiexec", L"msiexec.exe"};
inline constexpr std::array<std::wstring_view, 4> kOptions{L"/X", L"/I", L"/uninstall", L"/package"};

// True for a product code: 32 hexadecimal digits in braces, grouped 8-4-4-4-12.
bool IsProductCode(std::wstring_view text);

// The product code that a command runs msiexec on with one of kOptions;
// none when the command runs another program or names no well-formed code.
std::optional<std::wstring> ProductCodeOfCommand(std::wstring_view command);

}  // namespace installer_command
