#pragma once
// A private object namespace whose boundary is the Administrators group:
// only a process whose token holds that group (elevated) can make or open
// it, so no standard user can make one of its objects first and hold it.
// A well-known name in the global namespace can be taken by anyone before
// us; a lock there could be held for ever by a program of any user.
//
// Where the namespace cannot be had - Windows without it, Wine (which does
// not implement private namespaces), or a process outside the boundary -
// names fall back to the global namespace, and Private() says so: a lock
// there must then bound its wait, since anyone may hold it.

#include <windows.h>

#include <string>

namespace fw {

class AdminNamespace {
public:
    // Makes the namespace `name`, or opens it when another process has.
    explicit AdminNamespace(const std::wstring& name);
    ~AdminNamespace();
    AdminNamespace(const AdminNamespace&) = delete;
    AdminNamespace& operator=(const AdminNamespace&) = delete;

    bool Private() const { return namespace_ != nullptr; }

    // The name for `object`: "<name>\<object>" in the private namespace,
    // "Global\<name> <object>" in the fallback.
    std::wstring ObjectName(const std::wstring& object) const;

private:
    std::wstring name_;
    HANDLE boundary_ = nullptr;
    HANDLE namespace_ = nullptr;
};

}  // namespace fw
