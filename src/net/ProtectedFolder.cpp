#include "net/ProtectedFolder.h"

#include <windows.h>
#include <sddl.h>
#include <shlobj.h>

#include <memory>

namespace {

// Administrators and the system: full control; users and the owner (as
// owner, S-1-3-4): read and run. Not inherited from the parent.
constexpr wchar_t kDescriptor[] =
    L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;S-1-3-4)";

struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
};

}  // namespace

ProtectedFolder::ProtectedFolder(const std::wstring& name) {
    wchar_t base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) return;
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kDescriptor, SDDL_REVISION_1, &raw, nullptr)) return;
    const std::unique_ptr<void, LocalFreeDeleter> descriptor(raw);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
    for (int attempt = 1; attempt <= 100; ++attempt) {
        std::wstring path = std::wstring(base) + L"\\" + name;
        if (attempt > 1) path += L" (" + std::to_wstring(attempt) + L")";
        if (CreateDirectoryW(path.c_str(), &attributes)) {
            path_ = std::move(path);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

void ProtectedFolder::Remove(const std::wstring& file) const {
    if (path_.empty()) return;
    DeleteFileW((path_ + L"\\" + file).c_str());
    RemoveDirectoryW(path_.c_str());
}
