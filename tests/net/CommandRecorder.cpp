// Stands in for an uninstaller or installer in the upgrade tests: appends
// its own command line to calls.log in its working directory.

#include <windows.h>

#include <cstdio>

int main() {
    if (FILE* log = std::fopen("calls.log", "ab")) {
        std::fprintf(log, "%s\n", GetCommandLineA());
        std::fclose(log);
    }
    return 0;
}
