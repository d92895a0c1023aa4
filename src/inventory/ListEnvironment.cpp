#include "inventory/ListEnvironment.h"

#include <windows.h>

#include <array>

#include "framework/RegistryKey.h"
#include "framework/Wow64.h"
#include "registry/UninstallRegistry.h"

namespace {

constexpr bool kIs64BitProcess = sizeof(void*) == 8;

bool SameVariableName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Variables that are the same for every account of the machine.
constexpr std::array<std::wstring_view, 18> kMachineVariables{
    L"SystemRoot",        L"windir",              L"SystemDrive",        L"ProgramFiles",
    L"ProgramFiles(x86)", L"ProgramW6432",        L"CommonProgramFiles", L"CommonProgramFiles(x86)",
    L"CommonProgramW6432", L"ProgramData",        L"ALLUSERSPROFILE",    L"PUBLIC",
    L"COMPUTERNAME",      L"ComSpec",             L"OS",                 L"PROCESSOR_ARCHITECTURE",
    L"NUMBER_OF_PROCESSORS", L"DriverData"};

std::optional<std::wstring> ProcessVariable(std::wstring_view name) {
    const std::wstring key(name);
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(key.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        if (length < value.size()) {
            value.resize(length);
            return value;
        }
        value.resize(length);
    }
}

// The name this list's installers meant by a Program Files variable: the
// other view's folder is the one a process of that bitness is shown.
std::wstring_view ViewVariable(EntrySource source, std::wstring_view name) {
    const bool other64 = source == EntrySource::Machine64 && !kIs64BitProcess;
    const bool other32 = source == EntrySource::Machine32 && kIs64BitProcess;
    if (other64) {
        if (SameVariableName(name, L"ProgramFiles")) return L"ProgramW6432";
        if (SameVariableName(name, L"CommonProgramFiles")) return L"CommonProgramW6432";
    }
    if (other32) {
        if (SameVariableName(name, L"ProgramFiles")) return L"ProgramFiles(x86)";
        if (SameVariableName(name, L"CommonProgramFiles")) return L"CommonProgramFiles(x86)";
    }
    return name;
}

std::wstring ExpandMachine(std::wstring_view text) {
    return ExpandReferences(text, [](std::wstring_view name) -> std::optional<std::wstring> {
               for (std::wstring_view known : kMachineVariables)
                   if (SameVariableName(known, name)) return ProcessVariable(name);
               return std::nullopt;
           }).text;
}

std::wstring ProfileFolder(const std::wstring& sid) {
    const fw::RegKey key = UninstallRegistry::OpenForReading(
        HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + sid,
        kIs64BitProcess || !fw::RunsUnderWow64() ? 0 : KEY_WOW64_64KEY);
    return key ? ExpandMachine(UninstallRegistry::ReadTextOrEmpty(key.get(), L"ProfileImagePath")) : std::wstring();
}

}  // namespace

ListEnvironment::ListEnvironment(const ListRef& list) : list_(list) {
    if (list_.source == EntrySource::OtherUser) profile_ = ProfileFolder(list_.userSid);
}

std::optional<std::wstring> ListEnvironment::Value(std::wstring_view name) const {
    name = ViewVariable(list_.source, name);
    if (list_.source != EntrySource::OtherUser) return ProcessVariable(name);

    for (std::wstring_view known : kMachineVariables)
        if (SameVariableName(known, name)) return ProcessVariable(name);
    if (profile_.empty()) return std::nullopt;
    if (SameVariableName(name, L"USERPROFILE")) return profile_;
    // The user's own shell folders say where they moved these; the default
    // is under the profile.
    const bool local = SameVariableName(name, L"LOCALAPPDATA");
    if (!local && !SameVariableName(name, L"APPDATA")) return std::nullopt;
    const fw::RegKey folders = UninstallRegistry::OpenForReading(
        HKEY_USERS, list_.userSid + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders");
    std::wstring stored = folders ? UninstallRegistry::ReadTextOrEmpty(folders.get(), local ? L"Local AppData" : L"AppData")
                                  : std::wstring();
    if (stored.empty()) return profile_ + (local ? L"\\AppData\\Local" : L"\\AppData\\Roaming");
    const Expansion expanded = ExpandReferences(stored, [this](std::wstring_view inner) -> std::optional<std::wstring> {
        if (SameVariableName(inner, L"USERPROFILE")) return profile_;
        for (std::wstring_view known : kMachineVariables)
            if (SameVariableName(known, inner)) return ProcessVariable(inner);
        return std::nullopt;
    });
    if (expanded.unresolved) return std::nullopt;
    return expanded.text;
}

Expansion ListEnvironment::Expand(std::wstring_view text) const {
    Expansion expansion = ExpandReferences(text, [this](std::wstring_view name) { return Value(name); });
    // The running account's own lists expand as Windows would start them:
    // an unknown name simply stays. Only another user's is unknown.
    if (list_.source != EntrySource::OtherUser) expansion.unresolved = false;
    return expansion;
}
