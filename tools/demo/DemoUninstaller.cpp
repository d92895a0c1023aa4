// Stand-in uninstaller for the demo prefix: finds the Add/Remove Programs
// entry whose uninstall command names this file, asks, and on Yes deletes
// that entry's key as a real uninstaller would at its end. With /quiet (its
// entries' QuietUninstallString) it asks nothing and takes a few seconds,
// as a real one's work would. Wide calls throughout: the demo's folders
// and names come in any script.

#include <windows.h>

#include <string>

#include "framework/ModulePath.h"
#include "framework/UniqueHandle.h"

namespace {

constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const wchar_t* kCaption = L"Demo Uninstaller";

std::wstring Lower(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring ReadText(HKEY key, const wchar_t* name) {
    wchar_t buffer[2048] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

// The subkey and display name of the first entry under `rootKey` naming `self`.
bool FindOwnEntry(HKEY rootKey, const std::wstring& self, std::wstring& keyName, std::wstring& displayName) {
    fw::RegKey root;
    if (RegOpenKeyExW(rootKey, kUninstallKey, 0, KEY_READ, root.put()) != ERROR_SUCCESS) return false;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        fw::RegKey entry;
        if (RegOpenKeyExW(root.get(), name, 0, KEY_READ, entry.put()) != ERROR_SUCCESS) continue;
        // As Windows would start it: %ProgramFiles% and the like expanded.
        const std::wstring command = ReadText(entry.get(), L"UninstallString");
        wchar_t expanded[4096] = {};
        if (!ExpandEnvironmentStringsW(command.c_str(), expanded, 4096)) continue;
        if (Lower(expanded).find(Lower(self)) == std::wstring::npos) continue;
        keyName = name;
        displayName = ReadText(entry.get(), L"DisplayName");
        return true;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const bool quiet = Lower(commandLine ? commandLine : L"").find(L"/quiet") != std::wstring::npos;
    const std::wstring self = fw::WideModulePath();
    std::wstring keyName, displayName;
    // Per-machine installs first, then the user's own.
    HKEY root = HKEY_LOCAL_MACHINE;
    if (!FindOwnEntry(root, self, keyName, displayName)) root = HKEY_CURRENT_USER;
    if (root == HKEY_CURRENT_USER && !FindOwnEntry(root, self, keyName, displayName)) {
        if (!quiet)
            MessageBoxW(nullptr, L"This program is not registered in the Add/Remove Programs list.", kCaption,
                        MB_OK | MB_ICONSTOP);
        return 1;
    }
    const std::wstring path = std::wstring(kUninstallKey) + L"\\" + keyName;
    if (quiet) {
        Sleep(3000);
        return RegDeleteTreeW(root, path.c_str()) == ERROR_SUCCESS ? 0 : 1;
    }
    const std::wstring question = L"Remove " + displayName + L" from this computer?\n\n"
                                  L"(This demo uninstaller deletes only the program's Add/Remove Programs entry.)";
    if (MessageBoxW(nullptr, question.c_str(), kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return 2;
    RegDeleteTreeW(root, path.c_str());
    MessageBoxW(nullptr, (displayName + L" was removed.").c_str(), kCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
}
