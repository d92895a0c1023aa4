#pragma once
// Conversions between the program's ANSI text (the active code page), UTF-8
// and UTF-16: as wchar_t for the W calls, COM and controls, and as char16_t for
// the text rules kept free of <windows.h>. On Windows both are the same
// 16-bit code units, so the two spellings only view each other's memory.

#include <windows.h>

#include <string>
#include <string_view>

namespace fw {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 code units");

inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline std::u16string_view AsUtf16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}
// A copy of UTF-16 text of the text rules, for the W calls.
inline std::wstring WideCopy(std::u16string_view text) { return std::wstring(AsWide(text)); }

namespace text_detail {

inline std::string Encode(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// False when the bytes cannot be decoded with `flags`.
inline bool Decode(UINT codePage, DWORD flags, std::string_view bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) return true;
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0) return false;
    text.resize(static_cast<std::size_t>(size));
    MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), size);
    return true;
}

}  // namespace text_detail

// Characters the code page lacks become its default character.
inline std::string Narrow(std::wstring_view text) { return text_detail::Encode(CP_ACP, text); }
inline std::string Narrow(std::u16string_view text) { return Narrow(AsWide(text)); }

inline std::wstring Widen(std::string_view text) {
    std::wstring wide;
    text_detail::Decode(CP_ACP, 0, text, wide);
    return wide;
}
inline std::u16string WidenUtf16(std::string_view text) {
    const std::wstring wide = Widen(text);
    return std::u16string(AsUtf16(wide));
}

// UTF-8, for output that is no console and for files read by other
// programs; a surrogate without its partner becomes U+FFFD.
inline std::string ToUtf8(std::wstring_view text) { return text_detail::Encode(CP_UTF8, text); }

// For text only shown: bytes that are not UTF-8 become U+FFFD.
inline std::wstring WidenUtf8(std::string_view bytes) {
    std::wstring text;
    text_detail::Decode(CP_UTF8, 0, bytes, text);
    return text;
}

// Strict: false for bytes that are not UTF-8, which are never guessed at.
inline bool FromUtf8(std::string_view bytes, std::wstring& text) {
    return text_detail::Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, text);
}

}  // namespace fw
