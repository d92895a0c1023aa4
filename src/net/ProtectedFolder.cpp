#include "net/ProtectedFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/SecurityDescriptor.h"
#include "framework/UniqueFolder.h"

namespace {

// Administrators and the system: full control; users and the owner (as
// owner, S-1-3-4): read and run. Not inherited from the parent.
constexpr wchar_t kDescriptor[] =
    L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;S-1-3-4)";

}  // namespace

ProtectedFolder::ProtectedFolder(const std::wstring& name) {
    wchar_t base[MAX_PATH] = {};
    error_ = ERROR_PATH_NOT_FOUND;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) return;
    const fw::SecurityDescriptor descriptor(kDescriptor);
    error_ = ERROR_INVALID_SECURITY_DESCR;
    if (!descriptor) return;
    SECURITY_ATTRIBUTES attributes = descriptor.Attributes();
    // A random name: nobody can make the folder before us (any user may
    // make folders there).
    path_ = fw::MakeUniqueFolder(base, name, &attributes, error_);
}

void ProtectedFolder::Remove(const std::wstring& file) const {
    if (path_.empty()) return;
    DeleteFileW((path_ + L"\\" + file).c_str());
    RemoveDirectoryW(path_.c_str());
}
