// Stands in for a web browser or any other program a link starts: writes
// the command line it was started with to the file named by the
// ZALTROW_PROBE_OUT environment variable, then ends. The file appears
// whole (written aside, then renamed), so a test may read it at once.

#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char out[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("ZALTROW_PROBE_OUT", out, sizeof out);
    if (length == 0 || length >= sizeof out) return 1;
    const std::string part = std::string(out) + ".part";
    HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    const char* line = GetCommandLineA();
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(file);
    if (!wrote) return 3;
    return MoveFileExA(part.c_str(), out, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
