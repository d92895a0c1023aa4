// A stand-in uninstaller for the uninstall tests:
//   fake_uninstaller remove KEY        deletes HKLM\KEY and exits
//   fake_uninstaller leave             exits, leaving its entry
//   fake_uninstaller slow MS remove KEY  waits MS milliseconds first

#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int next = 1;
    if (next + 1 < argc && std::strcmp(argv[next], "slow") == 0) {
        Sleep(static_cast<DWORD>(std::atoi(argv[next + 1])));
        next += 2;
    }
    if (next + 1 < argc && std::strcmp(argv[next], "remove") == 0) {
        return RegDeleteTreeA(HKEY_LOCAL_MACHINE, argv[next + 1]) == ERROR_SUCCESS ? 0 : 1;
    }
    return 0;
}
