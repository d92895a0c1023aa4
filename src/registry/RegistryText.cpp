#include "registry/RegistryText.h"

#include <cstdlib>
#include <cstring>

namespace registry_text {

namespace {
constexpr std::size_t kCacheHeaderBytes = 28;

template <typename Char>
bool SameUnderFold(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}
}  // namespace

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) { return SameUnderFold(a, b); }
bool SameIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) { return SameUnderFold(a, b); }

std::vector<std::u16string_view> KeyNameParts(std::u16string_view name) {
    std::vector<std::u16string_view> parts;
    for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = name.find(u'\\', start);
        if (end == std::u16string_view::npos) end = name.size();
        parts.push_back(name.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string UpToFirstZero(const void* data, std::size_t size) {
    const char* text = static_cast<const char*>(data);
    const void* zero = std::memchr(text, 0, size);
    return std::string(text, zero ? static_cast<const char*>(zero) - text : size);
}

std::string SettingText(const void* data, std::size_t size) {
    std::string text = UpToFirstZero(data, size);
    if (text == "-") text.clear();
    return text;
}

int SettingNumber(std::string_view text) {
    if (text.empty()) return -1;
    return std::atoi(std::string(text).c_str());
}

namespace {

// The UTF-16LE character at byte `offset`, whatever the data's alignment.
char16_t Utf16At(const unsigned char* bytes, std::size_t offset) {
    return static_cast<char16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace

std::u16string Utf16UpToFirstZero(const void* data, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const char16_t c = Utf16At(bytes, i);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

std::u16string EntryText(const void* data, std::size_t size) {
    std::u16string text = Utf16UpToFirstZero(data, size);
    if (text == u"-") text.clear();
    return text;
}

std::u16string CachedProgramName(const void* data, std::size_t size) {
    std::u16string name;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = kCacheHeaderBytes; i + 1 < size; i += 2) {
        if (const char16_t c = Utf16At(bytes, i)) name.push_back(c);
    }
    return name;
}

std::wstring In32BitView(std::wstring_view path) {
    constexpr std::wstring_view kSoftware = L"Software";
    const std::wstring_view first = path.substr(0, path.find(L'\\'));
    bool isSoftware = first.size() == kSoftware.size();
    for (std::size_t i = 0; isSoftware && i < first.size(); ++i) {
        isSoftware = (first[i] | 0x20) == (kSoftware[i] | 0x20);
    }
    if (!isSoftware) return std::wstring(path);
    std::wstring redirected(first);
    redirected += L"\\Wow6432Node";
    redirected += path.substr(first.size());
    return redirected;
}

}  // namespace registry_text
