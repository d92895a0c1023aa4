#include "inventory/EntrySource.h"

#include "framework/Wow64.h"
#include "inventory/UninstallCommand.h"

HKEY SourceRoot(EntrySource source) {
    return source == EntrySource::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

REGSAM SourceView(EntrySource source) { return source == EntrySource::Machine64 ? KEY_WOW64_64KEY : 0; }

const char* SourceRootName(EntrySource source) {
    return source == EntrySource::User ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::vector<EntrySource> SystemSources() {
    std::vector<EntrySource> sources{EntrySource::Machine};
    if (fw::RunsUnderWow64()) sources.push_back(EntrySource::Machine64);
    sources.push_back(EntrySource::User);
    return sources;
}

std::string FileOfSource(const std::string& path, EntrySource source) {
    if (source != EntrySource::Machine64 || !fw::RunsUnderWow64()) return path;
    static const std::string windowsFolder = [] {
        char folder[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
    }();
    return windowsFolder.empty() ? path : SysnativePath(path, windowsFolder);
}
