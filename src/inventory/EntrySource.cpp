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

std::vector<EntrySource> SystemSources() {
    std::vector<EntrySource> sources{EntrySource::Machine};
    // A 64-bit process runs only on 64-bit Windows, whose registry keeps the
    // 32-bit view under Software\Wow6432Node. A machine root without that
    // branch (a predefined key pointed at a key of its own) has one view,
    // which must not be listed twice.
    if constexpr (kIs64BitProcess) {
        if (fw::OpenRegKey(HKEY_LOCAL_MACHINE, std::string("Software\\Wow6432Node"), KEY_READ | KEY_WOW64_64KEY))
            sources.push_back(EntrySource::Machine32);
    } else if (fw::RunsUnderWow64()) {
        sources.push_back(EntrySource::Machine64);
    }
    sources.push_back(EntrySource::User);
    return sources;
}

std::string FileOfSource(const std::string& path, EntrySource source) {
    const char* alias = nullptr;
    if (source == EntrySource::Machine64 && fw::RunsUnderWow64()) alias = "Sysnative";
    if (source == EntrySource::Machine32 && kIs64BitProcess) alias = "SysWOW64";
    if (!alias) return path;
    static const std::string windowsFolder = [] {
        char folder[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
    }();
    return windowsFolder.empty() ? path : SystemFolderAlias(path, windowsFolder, alias);
}
