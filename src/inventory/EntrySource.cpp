#include "inventory/EntrySource.h"

#include "framework/Wow64.h"
#include "inventory/UninstallCommand.h"

HKEY SourceRoot(EntrySource source) {
    return source == EntrySource::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

REGSAM SourceView(EntrySource source) { return source == EntrySource::Machine64 ? KEY_WOW64_64KEY : 0; }

const wchar_t* SourceRootName(EntrySource source) {
    return source == EntrySource::User ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE";
}

const wchar_t* SourceDescription(EntrySource source) {
    switch (source) {
    case EntrySource::User: return L"This user's programs";
    case EntrySource::Machine64: return L"Machine-wide, 64-bit programs";
    default:
        // The process's own view: the 64-bit one only in a 64-bit build.
        return sizeof(void*) == 8 ? L"Machine-wide, 64-bit programs" : L"Machine-wide, 32-bit programs";
    }
}

std::vector<EntrySource> SystemSources() {
    std::vector<EntrySource> sources{EntrySource::Machine};
    if (fw::RunsUnderWow64()) sources.push_back(EntrySource::Machine64);
    sources.push_back(EntrySource::User);
    return sources;
}

std::wstring FileOfSource(const std::wstring& path, EntrySource source) {
    if (source != EntrySource::Machine64 || !fw::RunsUnderWow64()) return path;
    static const std::wstring windowsFolder = [] {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
    }();
    return windowsFolder.empty() ? path : SysnativePath(path, windowsFolder);
}
