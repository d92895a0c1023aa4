#include "registry/RegistryText.h"

#include <cstdlib>
#include <cstring>

namespace registry_text {

namespace {
constexpr std::size_t kCacheHeaderBytes = 28;
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

std::string CachedProgramName(const void* data, std::size_t size) {
    std::string name;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = kCacheHeaderBytes; i < size; ++i) {
        if (bytes[i] != 0) name.push_back(static_cast<char>(bytes[i]));
    }
    return name;
}

std::string In32BitView(std::string_view path) {
    constexpr std::string_view kSoftware = "Software";
    const std::string_view first = path.substr(0, path.find('\\'));
    bool isSoftware = first.size() == kSoftware.size();
    for (std::size_t i = 0; isSoftware && i < first.size(); ++i) {
        isSoftware = (first[i] | 0x20) == (kSoftware[i] | 0x20);
    }
    if (!isSoftware) return std::string(path);
    std::string redirected(first);
    redirected += "\\Wow6432Node";
    redirected += path.substr(first.size());
    return redirected;
}

}  // namespace registry_text
