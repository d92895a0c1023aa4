// A stand-in uninstaller for the uninstall tests. Its words are done in
// order:
//   remove KEY       deletes HKLM\KEY
//   leave            nothing: exits, leaving its entry
//   slow MS          waits MS milliseconds
//   wait EVENT       waits (at most a minute) until the test sets the named event
//   spawn EVENT ...  starts a copy of itself with the words after EVENT and
//                    exits at once, as uninstallers that run from %TEMP% do;
//                    the copy sets EVENT once this process has ended
// Its arguments are read in UTF-16, so a key named in any script is the
// key deleted.

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <cstdlib>
#include <string>

namespace {

// Sets the named event once process `pid` has ended.
void SetWhenEnded(DWORD pid, const wchar_t* event) {
    if (HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        WaitForSingleObject(parent, 60000);
        CloseHandle(parent);
    }
    if (HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, event)) {
        SetEvent(done);
        CloseHandle(done);
    }
}

// Starts this program again with `words`; a child of ours, so in our job.
bool StartCopy(const std::wstring& words) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\"" + words;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 2;
    int result = 0;
    for (int next = 1; next + 1 < argc && result == 0; next += 2) {
        const std::wstring word = argv[next];
        const wchar_t* value = argv[next + 1];
        if (word == L"slow") {
            Sleep(static_cast<DWORD>(std::wcstol(value, nullptr, 10)));
        } else if (word == L"remove") {
            result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, value) == ERROR_SUCCESS ? 0 : 1;
        } else if (word == L"wait") {
            HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, value);
            result = go && WaitForSingleObject(go, 60000) == WAIT_OBJECT_0 ? 0 : 3;
            if (go) CloseHandle(go);
        } else if (word == L"after") {
            SetWhenEnded(static_cast<DWORD>(std::wcstoul(value, nullptr, 10)), argv[next + 2]);
            ++next;
        } else if (word == L"spawn") {
            std::wstring words = L" after " + std::to_wstring(GetCurrentProcessId()) + L" \"" + value + L"\"";
            for (int rest = next + 2; rest < argc; ++rest) words.append(L" \"").append(argv[rest]).append(L"\"");
            result = StartCopy(words) ? 0 : 4;
            break;
        }
    }
    LocalFree(argv);
    return result;
}
