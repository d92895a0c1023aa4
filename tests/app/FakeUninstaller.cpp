// A stand-in uninstaller for the uninstall tests. Its words are done in
// order:
//   remove KEY       deletes HKLM\KEY
//   leave            nothing: exits, leaving its entry
//   slow MS          waits MS milliseconds
//   wait EVENT       waits (at most a minute) until the test sets the named event
//   spawn EVENT ...  starts a copy of itself to do the words after EVENT and
//                    exits at once, as uninstallers that run from %TEMP% do;
//                    the copy sets EVENT once this process has ended
// Its arguments are read in UTF-16, so a key named in any script is the
// key deleted.

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 2;
    int result = 0;
    for (int next = 1; next + 1 < argc && result == 0; next += 2) {
        const std::wstring word = argv[next];
        if (word == L"slow") Sleep(static_cast<DWORD>(std::wcstol(argv[next + 1], nullptr, 10)));
        if (word == L"remove") result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, argv[next + 1]) == ERROR_SUCCESS ? 0 : 1;
        if (word == L"wait" || word == L"after") {
            // after PID EVENT: the copy's first words, its parent's end.
            const bool after = word == L"after";
            HANDLE awaited = after ? OpenProcess(SYNCHRONIZE, FALSE, std::wcstoul(argv[next + 1], nullptr, 10))
                                   : OpenEventW(SYNCHRONIZE, FALSE, argv[next + 1]);
            if (!after && (!awaited || WaitForSingleObject(awaited, 60000) != WAIT_OBJECT_0)) result = 3;
            if (after && awaited) WaitForSingleObject(awaited, 60000);
            if (awaited) CloseHandle(awaited);
            if (after) {
                HANDLE told = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[++next + 1]);
                if (told) {
                    SetEvent(told);
                    CloseHandle(told);
                }
            }
        }
        if (word == L"spawn") {
            wchar_t self[MAX_PATH] = {};
            GetModuleFileNameW(nullptr, self, MAX_PATH);
            std::wstring line = L"\"" + std::wstring(self) + L"\" after " + std::to_wstring(GetCurrentProcessId());
            for (int rest = next + 1; rest < argc; ++rest) line.append(L" \"").append(argv[rest]).append(L"\"");
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION copy{};  // a child of ours: in our job
            result = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &copy) ? 0 : 4;
            if (result == 0) {
                CloseHandle(copy.hThread);
                CloseHandle(copy.hProcess);
            }
            break;
        }
    }
    LocalFree(argv);
    return result;
}
