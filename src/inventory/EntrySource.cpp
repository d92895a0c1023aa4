#include "inventory/EntrySource.h"

#include "framework/RegistryKey.h"
#include "framework/RunningAccount.h"
#include "framework/UniqueHandle.h"
#include "framework/Wow64.h"
#include "inventory/UninstallCommand.h"

namespace {
constexpr bool kIs64BitProcess = sizeof(void*) == 8;
}  // namespace

HKEY SourceRoot(EntrySource source) {
    switch (source) {
    case EntrySource::User: return HKEY_CURRENT_USER;
    case EntrySource::OtherUser: return HKEY_USERS;
    default: return HKEY_LOCAL_MACHINE;
    }
}

std::wstring ListKeyPath(const ListRef& list, std::wstring_view underSoftware) {
    std::wstring path = list.source == EntrySource::OtherUser ? list.userSid + L"\\Software\\" : L"Software\\";
    return path += underSoftware;
}

REGSAM SourceView(EntrySource source) {
    switch (source) {
    case EntrySource::Machine64: return KEY_WOW64_64KEY;
    case EntrySource::Machine32: return KEY_WOW64_32KEY;
    default: return 0;
    }
}

const wchar_t* SourceDescription(EntrySource source) {
    switch (source) {
    case EntrySource::User: return L"This user's programs";
    case EntrySource::Machine64: return L"Machine-wide, 64-bit programs";
    case EntrySource::Machine32: return L"Machine-wide, 32-bit programs";
    case EntrySource::OtherUser: return L"Another user's programs";
    default:
        // The process's own view: the 64-bit one only in the 64-bit build.
        return kIs64BitProcess ? L"Machine-wide, 64-bit programs" : L"Machine-wide, 32-bit programs";
    }
}

std::vector<EntrySource> SystemSources() {
    std::vector<EntrySource> sources{EntrySource::Machine};
    // A 64-bit process runs only on 64-bit Windows, whose registry keeps the
    // 32-bit view under Software\Wow6432Node. A machine root without that
    // branch (a predefined key pointed at a key of its own) has one view,
    // which must not be listed twice.
    if constexpr (kIs64BitProcess) {
        if (fw::OpenRegKey(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node", KEY_READ | KEY_WOW64_64KEY))
            sources.push_back(EntrySource::Machine32);
    } else if (fw::RunsUnderWow64()) {
        sources.push_back(EntrySource::Machine64);
    }
    sources.push_back(EntrySource::User);
    return sources;
}

std::wstring FileOfSource(const std::wstring& path, EntrySource source) {
    const wchar_t* alias = nullptr;
    if (source == EntrySource::Machine64 && fw::RunsUnderWow64()) alias = L"Sysnative";
    if (source == EntrySource::Machine32 && kIs64BitProcess) alias = L"SysWOW64";
    if (!alias) return path;
    static const std::wstring windowsFolder = [] {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
    }();
    return windowsFolder.empty() ? path : SystemFolderAlias(path, windowsFolder, alias);
}

std::wstring ListName(const ListRef& list) {
    switch (list.source) {
    case EntrySource::User: return L"user";
    case EntrySource::OtherUser: return L"user:" + list.userSid;
    case EntrySource::Machine64: return L"machine-64";
    case EntrySource::Machine32: return L"machine-32";
    default: return kIs64BitProcess ? L"machine-64" : L"machine-32";
    }
}

std::optional<ListRef> ParseListName(std::wstring_view name) {
    if (name == L"user") return ListRef{EntrySource::User, {}};
    if (name.starts_with(L"user:")) {
        const std::wstring_view sid = name.substr(5);
        if (!IsUserAccountSid(sid)) return std::nullopt;
        return ListRef{EntrySource::OtherUser, std::wstring(sid)};
    }
    for (EntrySource source : SystemSources()) {
        if (source != EntrySource::User && ListName({source, {}}) == name) return ListRef{source, {}};
    }
    return std::nullopt;
}

bool IsUserAccountSid(std::wstring_view name) {
    std::wstring_view rest;
    if (name.starts_with(L"S-1-5-21-")) rest = name.substr(9);
    else if (name.starts_with(L"S-1-12-1-")) rest = name.substr(9);
    else return false;
    // Sub-authorities: numbers separated by single dashes, nothing else
    // (so never a "_Classes" hive).
    if (rest.empty() || rest.front() == L'-' || rest.back() == L'-') return false;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const wchar_t c = rest[i];
        if (c == L'-' ? rest[i - 1] == L'-' : c < L'0' || c > L'9') return false;
    }
    return true;
}

std::vector<std::wstring> OtherUserSids() {
    std::vector<std::wstring> sids;
    const fw::RegKey users = fw::OpenRegKey(HKEY_USERS, L"", KEY_ENUMERATE_SUB_KEYS);
    if (!users) return sids;
    const std::wstring self = fw::RunningUserSid();
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG rc = RegEnumKeyExW(users.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) continue;
        const std::wstring sid(name, length);
        if (IsUserAccountSid(sid) && sid != self) sids.push_back(sid);
    }
    return sids;
}

bool NeedsAdministrator(const ListRef& list, fw::AccountRights rights) {
    return list.source != EntrySource::User && !fw::MayChangeMachine(rights);
}
