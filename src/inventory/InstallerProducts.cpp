#include "inventory/InstallerProducts.h"

#include "framework/SystemLibrary.h"

namespace {
constexpr int kInstallStateUnknown = -1;
}  // namespace

InstallerProducts::InstallerProducts() : msi_(std::make_unique<fw::SystemLibrary>(L"msi.dll")) {
    msi_->Find(query_, "MsiQueryProductStateW");
}
InstallerProducts::~InstallerProducts() = default;

bool InstallerProducts::IsUnknown(const std::wstring& productCode) const {
    return query_ && query_(productCode.c_str()) == kInstallStateUnknown;
}
