#pragma once
// What the fuzz targets share: the fuzzer's bytes as the texts the rules
// read, and a check that stops the run where a rule breaks its promise.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Little-endian pairs as UTF-16 code units; a lone last byte is dropped.
inline std::u16string Utf16Of(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return text;
}

// The same code units as the wide text the Windows build reads; never more
// than 16 bits each, as there.
inline std::wstring WideOf(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = Utf16Of(data, size);
    return std::wstring(text.begin(), text.end());
}

// `text` cut at every `separator`.
template <typename String>
std::vector<String> Split(const String& text, typename String::value_type separator) {
    std::vector<String> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == String::npos ? String::npos : end - start));
        if (end == String::npos) return parts;
        start = end + 1;
    }
}

// abort() is what libFuzzer reports as a finding, with the input saved.
inline void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

}  // namespace fuzz
