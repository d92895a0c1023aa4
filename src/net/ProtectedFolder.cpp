#include "net/ProtectedFolder.h"

#include <windows.h>
#include <ntsecapi.h>
#include <shlobj.h>

#include "framework/SecurityDescriptor.h"

namespace {

// Administrators and the system: full control; users and the owner (as
// owner, S-1-3-4): read and run. Not inherited from the parent.
constexpr wchar_t kDescriptor[] =
    L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;S-1-3-4)";

// 16 hex digits from the system's random source: nobody can make the
// folder before us (any user may make folders there); empty when the
// source fails.
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

ProtectedFolder::ProtectedFolder(const std::wstring& name) {
    wchar_t base[MAX_PATH] = {};
    error_ = ERROR_PATH_NOT_FOUND;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) return;
    const fw::SecurityDescriptor descriptor(kDescriptor);
    error_ = ERROR_INVALID_SECURITY_DESCR;
    if (!descriptor) return;
    SECURITY_ATTRIBUTES attributes = descriptor.Attributes();
    for (int attempt = 1; attempt <= 10; ++attempt) {
        const std::wstring suffix = RandomSuffix();
        error_ = ERROR_GEN_FAILURE;
        if (suffix.empty()) return;
        std::wstring path = std::wstring(base) + L"\\" + name + L" " + suffix;
        if (CreateDirectoryW(path.c_str(), &attributes)) {
            path_ = std::move(path);
            error_ = ERROR_SUCCESS;
            return;
        }
        error_ = GetLastError();
        if (error_ != ERROR_ALREADY_EXISTS) return;
    }
}

void ProtectedFolder::Remove(const std::wstring& file) const {
    if (path_.empty()) return;
    DeleteFileW((path_ + L"\\" + file).c_str());
    RemoveDirectoryW(path_.c_str());
}
