#include "framework/RegistryKey.h"

namespace fw {

namespace {

RegistryOpenObserver observer;

void Observe(HKEY base, const std::wstring& path, REGSAM access, bool create) {
    if (observer) observer(base, path, access, create);
}

// A failed call may have written into the slot: that value is no key and
// must not be closed.
RegKey Kept(RegKey key, LONG rc, LONG* result) {
    if (result) *result = rc;
    if (rc != ERROR_SUCCESS) key.release();
    return key;
}

}  // namespace

RegKey OpenRegKey(HKEY root, const std::wstring& path, REGSAM access, LONG* result) {
    Observe(root, path, access, false);
    RegKey key;
    const LONG rc = RegOpenKeyExW(root, path.c_str(), 0, access, key.put());
    return Kept(std::move(key), rc, result);
}

RegKey CreateRegKey(HKEY root, const std::wstring& path, REGSAM access, LONG* result) {
    Observe(root, path, access, true);
    RegKey key;
    const LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                    key.put(), nullptr);
    return Kept(std::move(key), rc, result);
}

void SetRegistryOpenObserver(RegistryOpenObserver next) { observer = std::move(next); }

std::wstring FoldedKeyName(std::wstring name) {
    if (!name.empty()) CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

}  // namespace fw
