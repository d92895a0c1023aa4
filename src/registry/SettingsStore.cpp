#include "registry/SettingsStore.h"

#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "registry/RegistryText.h"

namespace {

std::string UnderSoftware(const std::string& path) { return "Software\\" + path; }

std::string ReadSettingText(HKEY key, const char* valueName) {
    char buffer[SettingsStore::kReadBufferChars];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return registry_text::SettingText(buffer, size);
}

}  // namespace

bool SettingsStore::WriteString(const std::string& path, const std::string& valueName,
                                const std::string& text) {
    if (text.size() > kMaxWriteChars) return false;
    const fw::RegKey key = fw::CreateRegKey(HKEY_CURRENT_USER, fw::Widen(UnderSoftware(path)), KEY_SET_VALUE);
    if (!key) return false;
    // A value that cannot be set is not reported: the key was there.
    RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    return true;
}

std::string SettingsStore::ReadString(const std::string& path, const std::string& valueName,
                                      HKEY root, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(root, fw::Widen(UnderSoftware(path)), KEY_QUERY_VALUE | view);
    if (!key) return {};
    return ReadSettingText(key.get(), valueName.c_str());
}

int SettingsStore::ReadInt(const std::string& path, const std::string& valueName) {
    return registry_text::SettingNumber(ReadString(path, valueName, HKEY_CURRENT_USER));
}
