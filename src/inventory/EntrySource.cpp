#include "inventory/EntrySource.h"

#include "framework/RegistryKey.h"
#include "framework/Wow64.h"
#include "inventory/UninstallCommand.h"

namespace {
constexpr bool kIs64BitProcess = sizeof(void*) == 8;
}  // namespace

HKEY SourceRoot(EntrySource source) {
    return source == EntrySource::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
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
