#include "registry/RegistryImport.h"

#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "framework/Wow64.h"
#include "registry/RegistryText.h"
#include "registry/UninstallRegistry.h"

namespace {

constexpr bool kIs64BitProcess = sizeof(void*) == 8;

// Registry names ignore letter case; the fixed names compared here are
// ASCII.
using registry_text::SameIgnoringAsciiCase;

// The parts of a path, as the registry calls take them.
std::vector<std::wstring> Parts(const std::wstring& path) {
    std::vector<std::wstring> parts;
    for (std::u16string_view part : registry_text::KeyNameParts(fw::AsUtf16(path))) parts.emplace_back(fw::AsWide(part));
    return parts;
}

}  // namespace

std::optional<RegistryImport::Location> RegistryImport::Locate(std::u16string_view nameInFile) {
    const std::size_t slash = nameInFile.find(u'\\');
    if (slash == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view rootName = nameInFile.substr(0, slash);
    Location where{nullptr, 0, std::wstring(fw::AsWide(nameInFile.substr(slash + 1)))};
    const std::vector<std::wstring> parts = Parts(where.path);
    for (const std::wstring& part : parts) {
        if (part.empty()) return std::nullopt;
    }

    if (SameIgnoringAsciiCase(rootName, u"HKEY_CURRENT_USER")) {
        where.root = HKEY_CURRENT_USER;
    } else if (SameIgnoringAsciiCase(rootName, u"HKEY_USERS")) {
        where.root = HKEY_USERS;
    } else if (SameIgnoringAsciiCase(rootName, u"HKEY_LOCAL_MACHINE")) {
        where.root = HKEY_LOCAL_MACHINE;
        // Only a 64-bit system has a second view; on a 32-bit one a
        // Wow6432Node key is an ordinary key of that name.
        const bool twoViews = kIs64BitProcess || fw::RunsUnderWow64();
        const bool software = SameIgnoringAsciiCase(fw::AsUtf16(parts[0]), u"SOFTWARE");
        if (twoViews && software && parts.size() > 1 && SameIgnoringAsciiCase(fw::AsUtf16(parts[1]), u"Wow6432Node")) {
            where.view = KEY_WOW64_32KEY;
            where.path.erase(parts[0].size(), 1 + parts[1].size());
        } else if (software && !kIs64BitProcess && fw::RunsUnderWow64()) {
            where.view = KEY_WOW64_64KEY;
        }
    } else {
        return std::nullopt;
    }
    return where;
}

fw::RegKey RegistryImport::Open(const Location& where, REGSAM access, LONG& result) {
    const std::vector<std::wstring> parts = Parts(where.path);
    fw::RegKey key;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        key = fw::OpenRegKey(key ? key.get() : where.root, parts[i], (last ? access : KEY_READ) | where.view, &result);
        if (!key) break;
    }
    return key;
}

LONG RegistryImport::DeleteTree(const Location& where) {
    // The key goes through its parent (the root itself for a top-level key).
    const std::size_t slash = where.path.rfind(L'\\');
    if (slash == std::wstring::npos) return UninstallRegistry::DeleteTree(where.root, L"", where.path, where.view);
    return UninstallRegistry::DeleteTree(where.root, where.path.substr(0, slash), where.path.substr(slash + 1),
                                         where.view);
}

bool RegistryImport::Write(const std::vector<reg_file::Key>& keys) {
    failure_ = {};
    for (const reg_file::Key& key : keys) {
        if (!WriteKey(key)) return false;
    }
    return true;
}

bool RegistryImport::WriteKey(const reg_file::Key& key) {
    failure_.key = fw::AsWide(key.name);
    const std::optional<Location> where = Locate(key.name);
    if (!where) {
        failure_.error = ERROR_BAD_PATHNAME;
        return false;
    }
    const std::vector<std::wstring> parts = Parts(where->path);
    fw::RegKey opened;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const HKEY base = opened ? opened.get() : where->root;
        const REGSAM access = (i + 1 == parts.size() ? KEY_SET_VALUE : 0) | KEY_CREATE_SUB_KEY | where->view;
        // A user's hive is loaded by Windows, never made by a restore.
        opened = where->root == HKEY_USERS && i == 0 ? fw::OpenRegKey(base, parts[i], access, &failure_.error)
                                                     : fw::CreateRegKey(base, parts[i], access, &failure_.error);
        if (!opened) return false;
    }

    std::vector<std::uint8_t> buffer;
    for (const reg_file::Value& value : key.values) {
        // The registry counts a text's missing closing zero in by itself
        // when one follows the given bytes; what follows here never is one.
        buffer.assign(value.data.begin(), value.data.end());
        buffer.insert(buffer.end(), {0xFF, 0xFF});
        failure_.error = RegSetValueExW(opened.get(), value.name.empty() ? nullptr : fw::AsWide(value.name).data(), 0,
                                        value.type, buffer.data(), static_cast<DWORD>(value.data.size()));
        if (failure_.error != ERROR_SUCCESS) return false;
    }
    failure_ = {};
    return true;
}
