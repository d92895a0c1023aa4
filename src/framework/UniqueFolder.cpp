#include "framework/UniqueFolder.h"

#include <ntsecapi.h>

namespace fw {

namespace {

// 16 hex digits from the system's random source; empty when it fails.
std::wstring RandomSuffix() {
    unsigned char bytes[8];
    if (!RtlGenRandom(bytes, sizeof bytes)) return {};
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring text;
    for (unsigned char byte : bytes) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

}  // namespace

std::wstring MakeUniqueFolder(const std::wstring& parent, const std::wstring& name, SECURITY_ATTRIBUTES* attributes,
                              DWORD& error) {
    for (int attempt = 1; attempt <= 10; ++attempt) {
        const std::wstring suffix = RandomSuffix();
        error = ERROR_GEN_FAILURE;
        if (suffix.empty()) return {};
        std::wstring path = parent + L"\\" + name + L" " + suffix;
        if (CreateDirectoryW(path.c_str(), attributes)) {
            error = ERROR_SUCCESS;
            return path;
        }
        error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

}  // namespace fw
