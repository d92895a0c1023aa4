// Stands in for an uninstaller or installer in the upgrade tests: appends
// its own command line to calls.log in its working directory (and with
// ZALTROW_TEST_SETUP_HANGS set, never ends).

#include <windows.h>

#include <cstdio>

int main() {
    if (FILE* log = std::fopen("calls.log", "ab")) {
        std::fprintf(log, "%s\n", GetCommandLineA());
        std::fclose(log);
    }
    // A setup that never returns.
    if (GetEnvironmentVariableA("ZALTROW_TEST_SETUP_HANGS", nullptr, 0) > 0) Sleep(INFINITE);
    return 0;
}
