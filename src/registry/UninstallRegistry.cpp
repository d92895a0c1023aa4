#include "registry/UninstallRegistry.h"

#include <unordered_set>

#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "registry/RegistryText.h"

namespace {

std::optional<std::wstring> ReadCacheRecord(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_BINARY;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size > UninstallRegistry::kCacheBufferBytes) {
        return std::nullopt;
    }
    unsigned char buffer[UninstallRegistry::kCacheBufferBytes];
    size = sizeof buffer;
    if (RegQueryValueExW(key, valueName, nullptr, &type, buffer, &size) != ERROR_SUCCESS) return std::nullopt;
    return std::wstring(fw::AsWide(registry_text::CachedProgramName(buffer, size)));
}

}  // namespace

fw::RegKey UninstallRegistry::OpenForReading(HKEY root, const std::wstring& path, REGSAM view) {
    return fw::OpenRegKey(root, path, KEY_READ | view);
}

std::optional<UninstallRegistry::Text> UninstallRegistry::ReadText(HKEY key, const wchar_t* valueName) {
    // Most values fit the first buffer; a longer one is read again whole.
    std::vector<wchar_t> buffer(512);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        const LONG rc =
            RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (rc == ERROR_MORE_DATA) {
            buffer.resize(size / sizeof(wchar_t) + 2);
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
        return Text{std::wstring(fw::AsWide(registry_text::EntryText(buffer.data(), size))), type == REG_EXPAND_SZ};
    }
}

std::wstring UninstallRegistry::ReadTextOrEmpty(HKEY key, const wchar_t* valueName) {
    std::optional<Text> text = ReadText(key, valueName);
    return text ? std::move(text->text) : std::wstring();
}

DWORD UninstallRegistry::ReadNumber(HKEY key, const wchar_t* valueName) {
    DWORD type = REG_NONE;
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number)
        return 0;
    return number;
}

std::optional<std::wstring> UninstallRegistry::ReadCachedProgramName(HKEY parent, const std::wstring& subkey,
                                                                     const std::wstring& valueName, REGSAM view) {
    fw::RegKey key = fw::OpenRegKey(parent, subkey, KEY_QUERY_VALUE | view);
    if (!key) return std::nullopt;
    return ReadCacheRecord(key.get(), valueName.c_str());
}

UninstallRegistry& UninstallRegistry::EnumerateKey(HKEY root, const std::wstring& path, REGSAM view,
                                                   std::size_t maxResults) {
    results_.clear();
    unlisted_ = 0;
    walkError_ = ERROR_SUCCESS;
    LONG rc = ERROR_SUCCESS;
    fw::RegKey key = fw::OpenRegKey(root, path, KEY_READ | view, &rc);
    if (!key) {
        if (rc != ERROR_FILE_NOT_FOUND && rc != ERROR_PATH_NOT_FOUND) walkError_ = rc;
        return *this;
    }

    DWORD subkeyCount = 0;
    rc = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) {
        walkError_ = rc;
        return *this;
    }

    std::unordered_set<std::wstring> listed;
    for (DWORD index = 0; index < subkeyCount; ++index) {
        if (results_.size() >= maxResults) {
            unlisted_ += subkeyCount - index;
            break;
        }
        wchar_t name[kSubkeyNameBuffer];
        DWORD length = kSubkeyNameBuffer;
        if (RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            ++unlisted_;  // never left out without a word
            continue;
        }
        results_.emplace_back(name, length);
        listed.insert(fw::FoldedKeyName(results_.back()));
    }

    // Values are what the oldest lists held; one counts only where it names
    // an entry key that the walk above did not reach.
    for (DWORD index = 0; results_.size() < maxResults; ++index) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[kSubkeyNameBuffer + 1];
        DWORD dataSize = sizeof data;
        DWORD type = REG_NONE;
        const LONG rc = RegEnumValueW(key.get(), index, valueName, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;  // longer data cannot name a key
        const std::wstring text(fw::AsWide(registry_text::Utf16UpToFirstZero(data, dataSize)));
        if (text.empty() || text.find(L'\\') != std::wstring::npos || listed.contains(fw::FoldedKeyName(text))) continue;
        if (!fw::OpenRegKey(key.get(), text, KEY_QUERY_VALUE | view)) continue;
        results_.push_back(text);
        listed.insert(fw::FoldedKeyName(text));
    }
    return *this;
}

LONG UninstallRegistry::StoredSubkeyName(HKEY parent, std::wstring_view name, std::wstring& stored) {
    if (name.empty() || name.size() >= kSubkeyNameBuffer) return ERROR_FILE_NOT_FOUND;
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[kSubkeyNameBuffer];
        DWORD length = kSubkeyNameBuffer;
        const LONG rc = RegEnumKeyExW(parent, index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) return ERROR_FILE_NOT_FOUND;
        if (rc != ERROR_SUCCESS) return rc;
        if (length == name.size() &&
            CompareStringOrdinal(subkey, static_cast<int>(length), name.data(), static_cast<int>(name.size()), TRUE) ==
                CSTR_EQUAL) {
            stored.assign(subkey, length);
            return ERROR_SUCCESS;
        }
    }
}

LONG UninstallRegistry::DeleteTree(HKEY root, const std::wstring& path, const std::wstring& subkey, REGSAM view) {
    LONG rc = ERROR_SUCCESS;
    const fw::RegKey parent = fw::OpenRegKey(root, path, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | view, &rc);
    if (!parent) return rc;
    {
        // The tree call takes no view, so it works through a handle of one.
        const fw::RegKey key = fw::OpenRegKey(parent.get(), subkey,
                                              DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | view,
                                              &rc);
        if (!key) return rc;
        rc = RegDeleteTreeW(key.get(), nullptr);
        if (rc != ERROR_SUCCESS) return rc;
    }
    // Windows resolves the subkey in the caller's own view unless told.
    return view == 0 ? RegDeleteKeyW(parent.get(), subkey.c_str())
                     : RegDeleteKeyExW(parent.get(), subkey.c_str(), view, 0);
}
