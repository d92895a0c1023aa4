#pragma once
// Text rules of opening a link: turning the default browser's command line
// into one that opens a given address, and the message for a failed open.
// Pure functions, kept apart from the shell calls so they can be tested
// directly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace shell_text {

// The size of the buffer the browser command is built in, its
// terminating zero included.
inline constexpr std::size_t kCommandCapacity = 520;

// The command up to its URL placeholder: cut at the first "%1" in double
// quotes (the opening quote goes as well), else at the first bare "%1",
// else the whole command. The search respects double-byte characters of
// the current multibyte code page.
std::string CutAtPlaceholder(std::string_view command);

// The command that opens `url`: the cut command, one space, the URL
// (unquoted). Empty when that would not fit `capacity` bytes with its
// terminating zero; such a command is never run.
std::optional<std::string> BrowserCommand(std::string_view command, std::string_view url,
                                          std::size_t capacity = kCommandCapacity);

// The failure text for a shell result code: "Can't open link:\n\n" and the
// code's own text, or "Unknown Error (<code>) occurred." for unlisted ones.
std::string LinkErrorText(std::intptr_t code);

}  // namespace shell_text
