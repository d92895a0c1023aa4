#include "inventory/EntrySource.h"

#include "inventory/UninstallCommand.h"

HKEY SourceRoot(EntrySource source) {
    return source == EntrySource::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

REGSAM SourceView(EntrySource source) { return source == EntrySource::Machine64 ? KEY_WOW64_64KEY : 0; }

const char* SourceRootName(EntrySource source) {
    return source == EntrySource::User ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool RunsUnderWow64() {
    // Looked up at run time: the call is missing before XP SP2.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    static const bool wow64 = [] {
        const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
        BOOL result = FALSE;
        return isWow64Process && isWow64Process(GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

std::vector<EntrySource> SystemSources() {
    std::vector<EntrySource> sources{EntrySource::Machine};
    if (RunsUnderWow64()) sources.push_back(EntrySource::Machine64);
    sources.push_back(EntrySource::User);
    return sources;
}

std::string FileOfSource(const std::string& path, EntrySource source) {
    if (source != EntrySource::Machine64 || !RunsUnderWow64()) return path;
    static const std::string windowsFolder = [] {
        char folder[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
    }();
    return windowsFolder.empty() ? path : SysnativePath(path, windowsFolder);
}
