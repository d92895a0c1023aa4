#include "registry/RegistryExport.h"

#include <algorithm>

#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "framework/Wow64.h"
#include "registry/RegistryText.h"

namespace {

LONG Open(HKEY base, std::u16string_view name, REGSAM view, fw::RegKey& key) {
    LONG rc = ERROR_SUCCESS;
    key = fw::OpenRegKey(base, std::wstring(fw::AsWide(name)), KEY_READ | view, &rc);
    return rc;
}

}  // namespace

RegistryExport::ExportOutcome RegistryExport::AddKey(const std::wstring& path, const std::wstring& nameInFile) {
    const std::u16string name(fw::AsUtf16(nameInFile));
    if (!reg_file::CanWriteName(name)) {
        Fail(name, ERROR_SUCCESS, true);
        return ExportOutcome::Failed;
    }

    // One step per path component, each relative to the key before it.
    const std::u16string wide(fw::AsUtf16(path));
    fw::RegKey key;
    HKEY base = root_;
    for (std::size_t start = 0; start <= wide.size();) {
        std::size_t end = wide.find(u'\\', start);
        if (end == std::u16string::npos) end = wide.size();
        fw::RegKey next;
        const LONG rc = Open(base, wide.substr(start, end - start), view_, next);
        if (rc == ERROR_FILE_NOT_FOUND) return ExportOutcome::Absent;
        if (rc != ERROR_SUCCESS) {
            Fail(name, rc);
            return ExportOutcome::Failed;
        }
        key = std::move(next);
        base = key.get();
        start = end + 1;
    }

    const std::size_t before = keys_.size();
    if (!ReadTree(key.get(), name)) {
        keys_.resize(before);
        return ExportOutcome::Failed;
    }
    return ExportOutcome::Added;
}

bool RegistryExport::Fail(const std::u16string& name, LONG error, bool unwritableName) {
    failure_ = {std::wstring(fw::AsWide(name)), error, unwritableName};
    return false;
}

bool RegistryExport::ReadTree(HKEY key, const std::u16string& name) {
    reg_file::Key record{name, {}};

    DWORD maxName = 0;
    DWORD maxData = 0;
    LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                               &maxData, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return Fail(name, rc);

    // The sizes are hints: a value that grew meanwhile gets bigger buffers.
    std::vector<wchar_t> valueName(maxName + 1);
    std::vector<std::uint8_t> data(maxData > 0 ? maxData : 1);
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(valueName.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        rc = RegEnumValueW(key, index, valueName.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA) {
            valueName.resize(valueName.size() * 2 + 256);
            data.resize(std::max<std::size_t>(data.size() * 2, dataSize));
            continue;
        }
        if (rc != ERROR_SUCCESS) return Fail(name, rc);
        reg_file::Value value;
        value.name.assign(valueName.data(), valueName.data() + nameLength);
        // Reported by the key's name: the value's own may not even print.
        if (!reg_file::CanWriteName(value.name)) return Fail(name, ERROR_SUCCESS, true);
        value.type = type;
        value.data.assign(data.begin(), data.begin() + dataSize);
        record.values.push_back(std::move(value));
        ++index;
    }
    keys_.push_back(std::move(record));

    // Subkey names are collected first: reading a subtree never disturbs the
    // enumeration of its parent.
    std::vector<std::u16string> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t subkey[256];  // key names are at most 255 characters
        DWORD length = 256;
        rc = RegEnumKeyExW(key, index, subkey, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) return Fail(name, rc);
        subkeys.emplace_back(subkey, subkey + length);
    }
    for (const std::u16string& subkey : subkeys) {
        if (!reg_file::CanWriteName(subkey)) return Fail(name, ERROR_SUCCESS, true);
        const std::u16string subName = name + u"\\" + subkey;
        fw::RegKey child;
        rc = Open(key, subkey, view_, child);
        if (rc != ERROR_SUCCESS) return Fail(subName, rc);
        if (!ReadTree(child.get(), subName)) return false;
    }
    return true;
}

std::vector<std::uint8_t> RegistryExport::FileBytes() const {
    return reg_file::Utf16LeWithBom(reg_file::FileText(keys_));
}

std::wstring RegistryExport::NameInFile(HKEY root, REGSAM view, const std::wstring& path) {
    if (root == HKEY_CURRENT_USER) return L"HKEY_CURRENT_USER\\" + path;
    if (root == HKEY_USERS) return L"HKEY_USERS\\" + path;
    if (root == HKEY_CLASSES_ROOT) return L"HKEY_CLASSES_ROOT\\" + path;
    // HKEY_LOCAL_MACHINE: only its Software branch has two views.
    // The 32-bit view is a branch of its own only on a 64-bit system: there
    // a 64-bit process reaches it by asking for it, a 32-bit one unless it
    // asks for the 64-bit view.
    bool view32 = (view & KEY_WOW64_32KEY) != 0;
    if constexpr (sizeof(void*) == 4) view32 = fw::RunsUnderWow64() && (view & KEY_WOW64_64KEY) == 0;
    return L"HKEY_LOCAL_MACHINE\\" + (view32 ? registry_text::In32BitView(path) : path);
}
