#pragma once
// Standard base64 (RFC 4648 alphabet, '=' padding) as the upgrade page
// carries the installer's signature. Pure text rules.

#include <optional>
#include <string_view>
#include <vector>

// The bytes of `text`; blanks, tabs and line ends around or inside it are
// skipped. None when anything else is not base64 or the padding is wrong.
std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text);
