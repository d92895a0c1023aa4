#pragma once
// Starts a program as the signed-in user, without administrator rights,
// also from an elevated process: a program started by an elevated one
// inherits its rights, so the start is handed to the desktop shell (the
// user's own, unelevated Explorer), as a double-click there would start it.
// The desktop's shell is reached the documented way: the shell windows'
// desktop, its top-level browser, its active view, that view's dispatch
// object and its Application, whose ShellExecute runs in the shell.
//
// Where there is no desktop shell to ask (none running, a system without
// Explorer, a shell that lacks these interfaces), the program is started
// directly instead, and then gets this process's rights.

#include <windows.h>

#include <string>

namespace fw {

class UnelevatedStart {
public:
    enum class Route {
        DesktopShell,  // the desktop shell started it, with the user's rights
        Direct,        // started by this process, with its rights
    };
    struct StartOutcome {
        DWORD error = ERROR_SUCCESS;  // Windows' reason when it could not be started
        Route route = Route::Direct;
    };

    // Starts `file` (a full path) with `args` in `folder`. The shell starts
    // it on its own time: no process handle comes back either way.
    static StartOutcome Start(const std::wstring& file, const std::wstring& args, const std::wstring& folder);

private:
    static HRESULT ThroughDesktopShell(const std::wstring& file, const std::wstring& args, const std::wstring& folder);
    static DWORD Directly(const std::wstring& file, const std::wstring& args, const std::wstring& folder);
};

}  // namespace fw
