#pragma once
// The text of a registration file ("Windows Registry Editor Version 5.00")
// as the platform's registry editor imports it: keys with their values,
// each value given by its type and its bytes exactly as stored. Pure
// functions on UTF-16 text and bytes; the registry calls live elsewhere.
//
// Text values are written as quoted strings only when their bytes are clean
// zero-terminated text that the editor would store back identically; every
// other value (odd lengths, embedded zeros, no terminator, control
// characters, non-text types) is written as hex bytes of its own type, so an
// import restores each value bit for bit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace reg_file {

// Registry value types, numbered as the platform numbers them.
enum ValueType : std::uint32_t {
    kNone = 0,
    kString = 1,
    kExpandString = 2,
    kBinary = 3,
    kDword = 4,
    kMultiString = 7,
    kQword = 11,
};

struct Value {
    std::u16string name;  // empty: the key's default value
    std::uint32_t type = kNone;
    std::vector<std::uint8_t> data;
};

struct Key {
    std::u16string name;  // full name from the root, e.g. HKEY_LOCAL_MACHINE\Software\...
    std::vector<Value> values;
};

// True when a key or value name can stand in the file and be read back as
// the same name: no control characters but tabs, no unpaired surrogates.
bool CanWriteName(std::u16string_view name);

// The first line of every file.
inline constexpr std::u16string_view kHeader = u"Windows Registry Editor Version 5.00";

// One value's line(s): "name"=data, or @=data for the default value. Hex
// data longer than a line continues on lines ending in a backslash. The
// name must pass CanWriteName.
std::u16string ValueText(const Value& value);

// The whole file: the header, a blank line, then each key in order as
// [name] followed by its values and a blank line. CRLF line ends.
std::u16string FileText(const std::vector<Key>& keys);

// The text as UTF-16LE bytes behind the byte-order mark FF FE.
std::vector<std::uint8_t> Utf16LeWithBom(std::u16string_view text);

}  // namespace reg_file
