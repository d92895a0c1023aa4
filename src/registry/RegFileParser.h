#pragma once
// Reads back the registration files that reg_file::FileText writes: the
// UTF-16LE text behind FF FE, the header kHeader, then [key] lines each
// followed by its values ("name"= or @= with a quoted string, dword: or
// hex/hex(N): bytes continued over lines ending in a backslash), blank
// lines and ; comments. Pure functions on bytes and text.
//
// Only what restores keys as they were is accepted: a deletion ([-key] or
// "name"=-), another header, or any line this format does not produce
// refuses the whole file, so nothing is imported from a file read in part.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegFileText.h"

namespace reg_file {

struct ParseResult {
    bool ok = false;
    std::vector<Key> keys;  // in file order; empty unless ok
    std::size_t line = 0;   // of the refusal, counted from 1; 0 when ok
    std::u16string reason;  // e.g. "line 7: a deletion cannot be restored"
    std::vector<std::u16string> comments;  // each ; line's text after the ;, in file order
};

// The text of a file: its lines, CRLF (or LF) separated.
ParseResult ParseText(std::u16string_view text);

// The file's bytes: UTF-16LE with its byte-order mark, as Utf16LeWithBom
// makes them.
ParseResult ParseFile(std::span<const std::uint8_t> bytes);

}  // namespace reg_file
