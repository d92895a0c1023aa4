#pragma once
// A program started and followed together with every process it starts in
// turn, until all of them have ended. Uninstallers often copy themselves to
// %TEMP%, start the copy and exit at once: the copy is still the uninstall
// running. The processes are followed through a job object of our own,
// which sets no limits (it ends nothing, and lets nothing break away).
//
// Where Windows does not let us follow them all, only the started process
// is followed, and FollowsChildren() says so: a job that cannot be made or
// joined (on Windows 7 a process already in a job that forbids nesting), a
// start that needs elevation (through the shell's "runas") and a file that
// is no program (through the shell's default verb, as a double-click).

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/UniqueHandle.h"

namespace fw {

class ProcessTree {
public:
    // Starts `file` (a path or a name Windows searches for) with `args`, in
    // this process's current folder. ERROR_SUCCESS, or Windows' reason why
    // it could not be started (the shell's, when the shell started it).
    DWORD Start(const std::wstring& file, const std::wstring& args);

    // Every process the started one starts is followed too.
    bool FollowsChildren() const { return static_cast<bool>(job_); }
    // Every followed process has ended: with FollowsChildren() false, the
    // started process alone. False while any runs, and when none is followed
    // (a shell start that gave no process: a document handed to a program
    // already running).
    bool Ended() const;

    // Takes hold of every process now in the job, so its exit code is still
    // there once it has ended; called while waiting, as often as Ended().
    void Watch();
    // What the uninstall ended with: the started process's exit code; when
    // that is 0 and it started others, the code of the one held (Watch)
    // that ended last, since an uninstaller that copies itself to %TEMP%
    // ends at once with 0 and its copy's code is the real one. Nothing
    // while any runs, or when no process was started.
    std::optional<DWORD> ExitCode() const;

private:
    KernelHandle job_;
    KernelHandle process_;
    std::vector<DWORD> heldIds_;
    std::vector<KernelHandle> held_;
};

}  // namespace fw
