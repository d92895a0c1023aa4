#include "HyperLinkClassesRoot.h"

#include <gtest/gtest.h>

#include <atomic>

#include "framework/UniqueHandle.h"

HyperLinkClassesRoot::HyperLinkClassesRoot() {
    static std::atomic<int> serial{0};
    scratchPath_ = "Software\\ZaltrowTests\\" + std::to_string(GetCurrentProcessId()) + "_classes_" +
                   std::to_string(serial++);
    fw::RegKey key;
    const LONG created = RegCreateKeyExA(HKEY_CURRENT_USER, scratchPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS) {
        key.release();
        ADD_FAILURE() << "cannot create " << scratchPath_ << ": " << created;
        return;
    }
    EXPECT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, key.get()), ERROR_SUCCESS);
}

HyperLinkClassesRoot::~HyperLinkClassesRoot() {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
}

void HyperLinkClassesRoot::SetDefault(const std::string& path, const std::string& value) {
    fw::RegKey key;
    const LONG created =
        RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (created != ERROR_SUCCESS) {
        key.release();
        ADD_FAILURE() << "cannot create " << path << ": " << created;
        return;
    }
    EXPECT_EQ(RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}
