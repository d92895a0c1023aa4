#include "net/InstalledCopy.h"

#include <vector>

#include "framework/UniqueHandle.h"

namespace {

#ifdef _WIN64
constexpr REGSAM kOwnView = KEY_WOW64_64KEY;
#else
constexpr REGSAM kOwnView = KEY_WOW64_32KEY;
#endif

// A text value (REG_SZ), whole however long; empty when absent.
std::wstring ReadText(HKEY key, const wchar_t* name) {
    DWORD bytes = 0;
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) return {};
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1);
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
        if (status == ERROR_SUCCESS) return std::wstring(text.data());
        if (status != ERROR_MORE_DATA) return {};
    }
    return {};
}

// `path` made full and long, without a trailing backslash.
std::wstring Normalised(const std::wstring& path) {
    std::wstring full(32768, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    std::wstring longer(32768, L'\0');
    length = GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    if (length > 0 && length < longer.size()) full.assign(longer.data(), length);
    while (full.size() > 3 && full.back() == L'\\') full.pop_back();
    return full;
}

}  // namespace

std::wstring InstalledCopy::ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            std::wstring file(path.data(), length);
            const std::size_t slash = file.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::optional<InstalledCopy::Entry> InstalledCopy::ReadEntry(const std::wstring& product) {
    const std::wstring path = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
    fw::RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | kOwnView, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    Entry entry;
    entry.installLocation = ReadText(key.get(), L"InstallLocation");
    entry.displayVersion = ReadText(key.get(), L"DisplayVersion");
    entry.displayIcon = ReadText(key.get(), L"DisplayIcon");
    return entry;
}

bool InstalledCopy::SameFolder(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return false;
    const std::wstring x = Normalised(a), y = Normalised(b);
    return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(), static_cast<int>(y.size()), TRUE) ==
           CSTR_EQUAL;
}
