#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <atomic>

#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

namespace {

fw::RegKey CreateWide(HKEY root, const std::wstring& path) {
    // The leaf is created relative to its parent: a long leaf name inside a
    // long full path is refused by some registries even when the name fits.
    const std::size_t slash = path.rfind(L'\\');
    fw::RegKey parent;
    if (slash != std::wstring::npos) parent = CreateWide(root, path.substr(0, slash));
    const HKEY base = parent ? parent.get() : root;
    const std::wstring leaf = slash == std::wstring::npos ? path : path.substr(slash + 1);
    fw::RegKey key;
    LONG rc = RegCreateKeyExW(base, leaf.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS) {
        key.release();
        ADD_FAILURE() << "cannot create " << path << ": " << rc;
    }
    return key;
}

fw::RegKey Create(HKEY root, const std::string& path) { return CreateWide(root, fw::Widen(path)); }

}  // namespace

ScratchRegistry::ScratchRegistry(Roots roots) {
    static std::atomic<int> serial{0};
    scratchPath_ = "Software\\ZaltrowTests\\" + std::to_string(GetCurrentProcessId()) + "_" +
                   std::to_string(serial++);
    fw::RegKey machine = Create(HKEY_CURRENT_USER, scratchPath_ + "\\Machine");
    fw::RegKey user = Create(HKEY_CURRENT_USER, scratchPath_ + "\\User");
    if (roots != Roots::UserOnly) {
        EXPECT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.get()), ERROR_SUCCESS);
    }
    if (roots == Roots::AllUsers) {
        EXPECT_EQ(RegOverridePredefKey(HKEY_USERS, Create(HKEY_CURRENT_USER, scratchPath_ + "\\Users").get()),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, user.get()), ERROR_SUCCESS);
}

ScratchRegistry::~ScratchRegistry() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegOverridePredefKey(HKEY_USERS, nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, scratchPath_.c_str());
}

void ScratchRegistry::CreateKey(HKEY root, const std::string& path) { Create(root, path); }

void ScratchRegistry::SetString(HKEY root, const std::string& path, const std::string& name,
                                const std::string& value, DWORD type) {
    fw::RegKey key = Create(root, path);
    ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

void ScratchRegistry::SetBinary(HKEY root, const std::string& path, const std::string& name,
                                const std::vector<unsigned char>& bytes, DWORD type) {
    fw::RegKey key = Create(root, path);
    ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

void ScratchRegistry::SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
    fw::RegKey key = Create(root, path);
    ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value),
              ERROR_SUCCESS);
}

bool ScratchRegistry::KeyExists(HKEY root, const std::string& path) { return KeyExists(root, fw::Widen(path)); }

bool ScratchRegistry::ValueExists(HKEY root, const std::string& path, const std::string& name) {
    return RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

std::string ScratchRegistry::GetString(HKEY root, const std::string& path, const std::string& name) {
    char buffer[20000];
    DWORD size = sizeof buffer;
    if (RegGetValueA(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS) {
        return "<absent>";
    }
    return buffer;
}

void ScratchRegistry::SetString(HKEY root, const std::wstring& path, const std::wstring& name,
                                const std::wstring& value) {
    fw::RegKey key = CreateWide(root, path);
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

bool ScratchRegistry::KeyExists(HKEY root, const std::wstring& path) {
    fw::RegKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        key.release();
        return false;
    }
    return true;
}

std::wstring ScratchRegistry::GetString(HKEY root, const std::wstring& path, const std::wstring& name) {
    wchar_t buffer[10000];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
        return L"<absent>";
    }
    return buffer;
}
