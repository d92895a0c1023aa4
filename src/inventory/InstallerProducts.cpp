#include "inventory/InstallerProducts.h"

#include "framework/SystemLibrary.h"

namespace {
constexpr int kInstallStateUnknown = -1;
}  // namespace

InstallerProducts::InstallerProducts() = default;
InstallerProducts::~InstallerProducts() = default;

bool InstallerProducts::IsUnknown(const std::wstring& productCode) {
    if (!loaded_) {
        loaded_ = true;
        msi_ = std::make_unique<fw::SystemLibrary>(L"msi.dll");
        msi_->Find(query_, "MsiQueryProductStateW");
    }
    return query_ && query_(productCode.c_str()) == kInstallStateUnknown;
}
