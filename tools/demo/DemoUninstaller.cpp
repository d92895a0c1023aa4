// Stand-in uninstaller for the demo prefix: finds the Add/Remove Programs
// entry whose uninstall command names this file, asks, and on Yes deletes
// that entry's key as a real uninstaller would at its end.

#include <windows.h>

#include <string>

#include "framework/ModulePath.h"
#include "framework/UniqueHandle.h"

namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string ReadText(HKEY key, const char* name) {
    char buffer[2048] = {};
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return {};
    return buffer;
}

// The subkey and display name of the first entry under `rootKey` naming `self`.
bool FindOwnEntry(HKEY rootKey, const std::string& self, std::string& keyName, std::string& displayName) {
    fw::RegKey root;
    if (RegOpenKeyExA(rootKey, kUninstallKey, 0, KEY_READ, root.put()) != ERROR_SUCCESS) return false;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(root.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        fw::RegKey entry;
        if (RegOpenKeyExA(root.get(), name, 0, KEY_READ, entry.put()) != ERROR_SUCCESS) continue;
        if (Lower(ReadText(entry.get(), "UninstallString")).find(Lower(self)) == std::string::npos) continue;
        keyName = name;
        displayName = ReadText(entry.get(), "DisplayName");
        return true;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string self = fw::ModulePath();
    std::string keyName, displayName;
    // Per-machine installs first, then the user's own.
    HKEY root = HKEY_LOCAL_MACHINE;
    if (!FindOwnEntry(root, self, keyName, displayName)) root = HKEY_CURRENT_USER;
    if (root == HKEY_CURRENT_USER && !FindOwnEntry(root, self, keyName, displayName)) {
        MessageBoxA(nullptr, "This program is not registered in the Add/Remove Programs list.",
                    "Demo Uninstaller", MB_OK | MB_ICONSTOP);
        return 1;
    }
    const std::string question = "Remove " + displayName + " from this computer?\n\n"
                                 "(This demo uninstaller deletes only the program's Add/Remove Programs entry.)";
    if (MessageBoxA(nullptr, question.c_str(), "Demo Uninstaller", MB_YESNO | MB_ICONQUESTION) != IDYES) return 2;
    const std::string path = std::string(kUninstallKey) + "\\" + keyName;
    RegDeleteTreeA(root, path.c_str());
    MessageBoxA(nullptr, (displayName + " was removed.").c_str(), "Demo Uninstaller", MB_OK | MB_ICONINFORMATION);
    return 0;
}
