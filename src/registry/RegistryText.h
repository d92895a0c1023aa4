#pragma once
// How registry data becomes the texts and numbers the program works with.
// Pure functions on bytes, kept apart from the registry calls so they can
// be tested directly.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace registry_text {

// The data as text up to its first zero byte, never past `size`.
std::string UpToFirstZero(const void* data, std::size_t size);

// A settings value as ReadString returns it: up to the first zero byte,
// and a value of exactly "-" counts as empty.
std::string SettingText(const void* data, std::size_t size);

// ReadInt's reading of a settings text: -1 for the empty text, otherwise
// the run-time library's atoi (leading blanks, sign, digits; 0 when none).
int SettingNumber(std::string_view text);

// UTF-16 data of `size` bytes as text up to its first zero character; a
// lone last byte is dropped. The UTF-16 texts are char16_t, whatever size
// the compiler gives wchar_t.
std::u16string Utf16UpToFirstZero(const void* data, std::size_t size);

// An entry's text value as the inventory reads it (UTF-16 data of `size`
// bytes): up to the first zero character, a lone last byte dropped, and a
// value of exactly "-" counts as empty.
std::u16string EntryText(const void* data, std::size_t size);

// The program file named in an Add/Remove Programs cache record: every
// non-zero UTF-16LE character from byte 28 on, in order; a lone last byte
// is dropped.
std::u16string CachedProgramName(const void* data, std::size_t size);

// Where a 32-bit process's machine-wide key lives in the 64-bit registry:
// a path whose first part is Software (any case) gets Wow6432Node after it;
// other paths have one view only and stay as they are.
std::wstring In32BitView(std::wstring_view path);

// The case fold of key names: ASCII letters lowered, every other character
// as it is. Names that differ in the case of other letters count as
// different, which can only keep two names apart, never merge them.
template <typename Char>
constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}
// Equal under AsciiLower, as the registry compares names as far as ASCII
// letters go.
bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b);

// The parts of a key name between its backslashes, empty ones included
// ("A\\B" is "A", "", "B"); views into `name`.
std::vector<std::u16string_view> KeyNameParts(std::u16string_view name);

}  // namespace registry_text
