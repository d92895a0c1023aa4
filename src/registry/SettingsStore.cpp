#include "registry/SettingsStore.h"

#include "framework/RegistryKey.h"
#include "registry/RegistryText.h"

namespace {

std::string UnderSoftware(const std::string& path) { return "Software\\" + path; }

std::string ReadText(HKEY key, const char* valueName) {
    char buffer[SettingsStore::kReadBufferBytes];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return registry_text::SettingText(buffer, size);
}

std::optional<std::string> ReadCacheRecord(HKEY key, const char* valueName) {
    DWORD type = REG_BINARY;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size > SettingsStore::kCacheBufferBytes) {
        return std::nullopt;
    }
    unsigned char buffer[SettingsStore::kCacheBufferBytes];
    size = sizeof buffer;
    if (RegQueryValueExA(key, valueName, nullptr, &type, buffer, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return registry_text::CachedProgramName(buffer, size);
}

}  // namespace

bool SettingsStore::WriteString(const std::string& path, const std::string& valueName,
                                const std::string& text) {
    if (text.size() > kMaxWriteChars) return false;
    const fw::RegKey key = fw::CreateRegKey(HKEY_CURRENT_USER, UnderSoftware(path), KEY_SET_VALUE);
    if (!key) return false;
    // A value that cannot be set is not reported: the key was there.
    RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1));
    return true;
}

std::string SettingsStore::ReadString(const std::string& path, const std::string& valueName,
                                      HKEY root, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(root, UnderSoftware(path), KEY_QUERY_VALUE | view);
    if (!key) return {};
    return ReadText(key.get(), valueName.c_str());
}

fw::RegKey SettingsStore::OpenForReading(HKEY root, const std::string& fullPath, REGSAM view) {
    return fw::OpenRegKey(root, fullPath, KEY_READ | view);
}

std::vector<std::string> SettingsStore::ReadStrings(HKEY parent, const std::string& subkey,
                                                    std::initializer_list<const char*> valueNames,
                                                    REGSAM view) {
    std::vector<std::string> texts(valueNames.size());
    fw::RegKey key = fw::OpenRegKey(parent, subkey, KEY_QUERY_VALUE | view);
    if (!key) return texts;
    std::size_t index = 0;
    for (const char* name : valueNames) texts[index++] = ReadText(key.get(), name);
    return texts;
}

int SettingsStore::ReadInt(const std::string& path, const std::string& valueName) {
    return registry_text::SettingNumber(ReadString(path, valueName, HKEY_CURRENT_USER));
}

bool SettingsStore::DeleteKey(const std::string& path, const std::string& subkey, HKEY root, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(root, UnderSoftware(path), KEY_ALL_ACCESS | view);
    if (!key) return false;
    // Windows resolves the subkey in the caller's own view unless told
    // otherwise, whatever view the parent handle came from.
    const LONG result = view == 0 ? RegDeleteKeyA(key.get(), subkey.c_str())
                                  : RegDeleteKeyExA(key.get(), subkey.c_str(), view, 0);
    return result == ERROR_SUCCESS;
}

std::optional<std::string> SettingsStore::ReadCachedProgramName(const std::string& path,
                                                                const std::string& valueName,
                                                                HKEY root, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(root, UnderSoftware(path), KEY_QUERY_VALUE | view);
    if (!key) return std::nullopt;
    return ReadCacheRecord(key.get(), valueName.c_str());
}

std::optional<std::string> SettingsStore::ReadCachedProgramName(HKEY parent, const std::string& subkey,
                                                                const std::string& valueName,
                                                                REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(parent, subkey, KEY_QUERY_VALUE | view);
    if (!key) return std::nullopt;
    return ReadCacheRecord(key.get(), valueName.c_str());
}

SettingsStore& SettingsStore::EnumerateKey(HKEY root, const std::string& fullPath, REGSAM view) {
    results_.clear();
    fw::RegKey key = fw::OpenRegKey(root, fullPath, KEY_ALL_ACCESS | view);
    if (!key) return *this;

    char className[260];
    DWORD classLength = sizeof className;
    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    if (RegQueryInfoKeyA(key.get(), className, &classLength, nullptr, &subkeyCount, nullptr,
                         nullptr, &valueCount, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        subkeyCount = 0;
        valueCount = 0;
    }

    for (DWORD index = 0; index < subkeyCount; ++index) {
        if (walkCounter_++ > kLastWalkIndex) {
            walkCounter_ = 0;
            break;
        }
        char name[kSubkeyNameBuffer];
        DWORD length = kSubkeyNameBuffer;
        // A name too long for the buffer fails the read and is left out.
        if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            results_.emplace_back(name, length);
        }
    }

    std::vector<char> valueName(kValueNameBuffer);
    std::vector<unsigned char> data(kValueDataBuffer);
    for (DWORD index = 0; index < valueCount; ++index) {
        valueName[0] = '\0';
        DWORD nameLength = kValueNameBuffer;
        DWORD dataSize = kValueDataBuffer;
        if (RegEnumValueA(key.get(), index, valueName.data(), &nameLength, nullptr, nullptr,
                          data.data(), &dataSize) != ERROR_SUCCESS) {
            continue;  // includes data larger than the buffer
        }
        if (std::string_view(valueName.data(), nameLength) == "MRUList") continue;
        std::string text = registry_text::UpToFirstZero(data.data(), dataSize);
        if (!text.empty()) results_.push_back(std::move(text));
    }
    return *this;
}
