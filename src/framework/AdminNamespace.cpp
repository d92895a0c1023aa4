#include "framework/AdminNamespace.h"

#include <type_traits>

namespace fw {
namespace {

// Looked up at run time: Windows before Vista lacks them, and Wine has only
// some (calling its stub of AddSIDToBoundaryDescriptor ends the process).
struct NamespaceCalls {
    using CreateBoundary = HANDLE(WINAPI*)(LPCWSTR, ULONG);
    using AddSid = BOOL(WINAPI*)(HANDLE*, PSID);
    using DeleteBoundary = VOID(WINAPI*)(HANDLE);
    using CreateNamespace = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
    using OpenNamespace = HANDLE(WINAPI*)(LPVOID, LPCWSTR);
    using CloseNamespace = BOOLEAN(WINAPI*)(HANDLE, ULONG);

    NamespaceCalls() {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        if (!kernel) return;
        const auto find = [kernel](auto& entry, const char* name) {
            entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(
                reinterpret_cast<void*>(GetProcAddress(kernel, name)));
        };
        find(createBoundary, "CreateBoundaryDescriptorW");
        find(addSid, "AddSIDToBoundaryDescriptor");
        find(deleteBoundary, "DeleteBoundaryDescriptor");
        find(createNamespace, "CreatePrivateNamespaceW");
        find(openNamespace, "OpenPrivateNamespaceW");
        find(closeNamespace, "ClosePrivateNamespace");
    }
    bool All() const {
        return createBoundary && addSid && deleteBoundary && createNamespace && openNamespace && closeNamespace;
    }

    CreateBoundary createBoundary = nullptr;
    AddSid addSid = nullptr;
    DeleteBoundary deleteBoundary = nullptr;
    CreateNamespace createNamespace = nullptr;
    OpenNamespace openNamespace = nullptr;
    CloseNamespace closeNamespace = nullptr;
};

const NamespaceCalls& Calls() {
    static const NamespaceCalls calls;
    return calls;
}

}  // namespace

AdminNamespace::AdminNamespace(const std::wstring& name) : name_(name) {
    const NamespaceCalls& calls = Calls();
    if (!calls.All()) return;
    boundary_ = calls.createBoundary(name.c_str(), 0);
    if (!boundary_) return;
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) ||
        !calls.addSid(&boundary_, administrators))
        return;
    // Whoever made it may close it between our attempt to make it and our
    // attempt to open it: a few rounds settle that.
    for (int attempt = 0; attempt < 4 && !namespace_; ++attempt) {
        namespace_ = calls.createNamespace(nullptr, boundary_, name.c_str());
        if (!namespace_ && GetLastError() == ERROR_ALREADY_EXISTS)
            namespace_ = calls.openNamespace(boundary_, name.c_str());
        else if (!namespace_)
            break;  // outside the boundary, or refused: the fallback
    }
}

AdminNamespace::~AdminNamespace() {
    if (namespace_) Calls().closeNamespace(namespace_, 0);
    if (boundary_) Calls().deleteBoundary(boundary_);
}

std::wstring AdminNamespace::ObjectName(const std::wstring& object) const {
    return namespace_ ? name_ + L"\\" + object : L"Global\\" + name_ + L" " + object;
}

}  // namespace fw
