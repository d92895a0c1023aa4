#pragma once
// What Windows Installer knows of a product, asked through msi.dll. The DLL
// is loaded from the system folder when the object is made and kept for its
// life, so a list fill asks every entry through one load. Questions may come
// from several threads at once.

#include <memory>
#include <string>

namespace fw {
class SystemLibrary;
}

class InstallerProducts {
public:
    InstallerProducts();
    ~InstallerProducts();
    InstallerProducts(const InstallerProducts&) = delete;
    InstallerProducts& operator=(const InstallerProducts&) = delete;

    // True only when Windows Installer answers that it does not know the
    // product (INSTALLSTATE_UNKNOWN). Installed, advertised, absent for this
    // user, a code it calls invalid, or no msi.dll: false, since none of
    // them proves the product gone.
    bool IsUnknown(const std::wstring& productCode) const;

private:
    using QueryProductState = int(__stdcall*)(const wchar_t*);
    std::unique_ptr<fw::SystemLibrary> msi_;
    QueryProductState query_ = nullptr;
};
