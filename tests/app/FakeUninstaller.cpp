// A stand-in uninstaller for the uninstall tests:
//   fake_uninstaller remove KEY        deletes HKLM\KEY and exits
//   fake_uninstaller leave             exits, leaving its entry
//   fake_uninstaller slow MS remove KEY  waits MS milliseconds first
// Its arguments are read in UTF-16, so a key named in any script is the
// key deleted.

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <cstdlib>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 2;
    int next = 1;
    if (next + 1 < argc && std::wcscmp(argv[next], L"slow") == 0) {
        Sleep(static_cast<DWORD>(std::wcstol(argv[next + 1], nullptr, 10)));
        next += 2;
    }
    int result = 0;
    if (next + 1 < argc && std::wcscmp(argv[next], L"remove") == 0) {
        result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, argv[next + 1]) == ERROR_SUCCESS ? 0 : 1;
    }
    LocalFree(argv);
    return result;
}
