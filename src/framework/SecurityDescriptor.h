#pragma once
// A security descriptor made from its SDDL text, owned for the object's
// life: the one way the program gives a folder rights of its own.

#include <windows.h>
#include <sddl.h>

namespace fw {

class SecurityDescriptor {
public:
    explicit SecurityDescriptor(const wchar_t* sddl) {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr))
            descriptor_ = nullptr;
    }
    ~SecurityDescriptor() { LocalFree(descriptor_); }
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;

    explicit operator bool() const { return descriptor_ != nullptr; }
    PSECURITY_DESCRIPTOR get() const { return descriptor_; }
    // For CreateDirectory and the other creating calls; not inherited by
    // child processes.
    SECURITY_ATTRIBUTES Attributes() const { return {sizeof(SECURITY_ATTRIBUTES), descriptor_, FALSE}; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
};

}  // namespace fw
