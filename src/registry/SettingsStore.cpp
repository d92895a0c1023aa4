#include "registry/SettingsStore.h"

#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "registry/RegistryText.h"

namespace {

std::string UnderSoftware(const std::string& path) { return "Software\\" + path; }
std::wstring UnderSoftware(const std::wstring& path) { return L"Software\\" + path; }

std::string ReadSettingText(HKEY key, const char* valueName) {
    char buffer[SettingsStore::kReadBufferChars];
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return registry_text::SettingText(buffer, size);
}

std::wstring ReadEntryText(HKEY key, const wchar_t* valueName) {
    wchar_t buffer[SettingsStore::kReadBufferChars];
    DWORD size = sizeof buffer;
    if (RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return registry_text::EntryText(buffer, size);
}

std::optional<std::wstring> ReadCacheRecord(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_BINARY;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size > SettingsStore::kCacheBufferBytes) {
        return std::nullopt;
    }
    unsigned char buffer[SettingsStore::kCacheBufferBytes];
    size = sizeof buffer;
    if (RegQueryValueExW(key, valueName, nullptr, &type, buffer, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return registry_text::CachedProgramName(buffer, size);
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

fw::RegKey SettingsStore::OpenForReading(HKEY root, const std::wstring& fullPath, REGSAM view) {
    return fw::OpenRegKey(root, fullPath, KEY_READ | view);
}

std::wstring SettingsStore::ReadText(HKEY key, const wchar_t* valueName) { return ReadEntryText(key, valueName); }

DWORD SettingsStore::ReadNumber(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_NONE;
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
        return 0;
    return number;
}

int SettingsStore::ReadInt(const std::string& path, const std::string& valueName) {
    return registry_text::SettingNumber(ReadString(path, valueName, HKEY_CURRENT_USER));
}

bool SettingsStore::DeleteKey(const std::wstring& path, const std::wstring& subkey, HKEY root, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(root, UnderSoftware(path), KEY_ALL_ACCESS | view);
    if (!key) return false;
    // Windows resolves the subkey in the caller's own view unless told
    // otherwise, whatever view the parent handle came from.
    const LONG result = view == 0 ? RegDeleteKeyW(key.get(), subkey.c_str())
                                  : RegDeleteKeyExW(key.get(), subkey.c_str(), view, 0);
    return result == ERROR_SUCCESS;
}

std::optional<std::wstring> SettingsStore::ReadCachedProgramName(const std::wstring& path,
                                                                 const std::wstring& valueName, HKEY root,
                                                                 REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(root, UnderSoftware(path), KEY_QUERY_VALUE | view);
    if (!key) return std::nullopt;
    return ReadCacheRecord(key.get(), valueName.c_str());
}

std::optional<std::wstring> SettingsStore::ReadCachedProgramName(HKEY parent, const std::wstring& subkey,
                                                                 const std::wstring& valueName, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(parent, subkey, KEY_QUERY_VALUE | view);
    if (!key) return std::nullopt;
    return ReadCacheRecord(key.get(), valueName.c_str());
}

SettingsStore& SettingsStore::EnumerateKey(HKEY root, const std::wstring& fullPath, REGSAM view,
                                          std::size_t maxResults) {
    results_.clear();
    unlisted_ = 0;
    fw::RegKey key = fw::OpenRegKey(root, fullPath, KEY_ALL_ACCESS | view);
    if (!key) return *this;

    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        subkeyCount = 0;
        valueCount = 0;
    }

    for (DWORD index = 0; index < subkeyCount; ++index) {
        if (results_.size() >= maxResults) {
            unlisted_ += subkeyCount - index;
            break;
        }
        wchar_t name[kSubkeyNameBuffer];
        DWORD length = kSubkeyNameBuffer;
        // A name too long for the buffer fails the read and is left out.
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
            results_.emplace_back(name, length);
        }
    }

    std::vector<wchar_t> valueName(kValueNameBuffer);
    std::vector<unsigned char> data(kValueDataBuffer);
    for (DWORD index = 0; index < valueCount; ++index) {
        valueName[0] = L'\0';
        DWORD nameLength = kValueNameBuffer;
        DWORD dataSize = kValueDataBuffer;
        if (RegEnumValueW(key.get(), index, valueName.data(), &nameLength, nullptr, nullptr,
                          data.data(), &dataSize) != ERROR_SUCCESS) {
            continue;  // includes data larger than the buffer
        }
        if (std::wstring_view(valueName.data(), nameLength) == L"MRUList") continue;
        std::wstring text = registry_text::Utf16UpToFirstZero(data.data(), dataSize);
        if (text.empty()) continue;
        if (results_.size() >= maxResults) {
            ++unlisted_;
            continue;
        }
        results_.push_back(std::move(text));
    }
    return *this;
}
