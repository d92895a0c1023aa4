#pragma once
// The part of a change the window may not make itself, handed to the
// console program beside it, started elevated: one consent prompt for a
// whole batch. The window runs as the user; only removing or restoring an
// entry of the machine's lists (or another user's) needs an administrator.
//
// The console program gets the list of entries and its --result file as
// handles this process opened in a folder of the user's temporary folder
// and lends it (an elevated program's output cannot be piped back): it
// reads and writes through them, never through a path the user could
// redirect. Its backups go to the machine's folder (MachineBackupFolder),
// which the user's "Restore removed entries" lists beside the user's own;
// it runs in the system folder. How the elevated program is started and
// waited for is the front end's (ElevatedRunner): the window keeps
// painting and takes no input meanwhile.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "inventory/ProgramEntry.h"
#include "inventory/ResultLine.h"

// Starts `file` with `arguments` elevated, in `folder`, and waits for it,
// calling `whileWaiting` at least every few tenths of a second meanwhile:
// ERROR_SUCCESS with its exit code, ERROR_CANCELLED when the consent
// prompt was refused, else why it could not be started.
using ElevatedRunner =
    std::function<DWORD(const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                        DWORD& exitCode, const std::function<void()>& whileWaiting)>;
// A result line the elevated step has written whole, as soon as it is read.
using ResultArrived = std::function<void(const OperationResult& line)>;

class ElevatedHandOff {
public:
    struct HandOffOutcome {
        // ERROR_SUCCESS when the console program ran (each entry's result
        // is then in `results`); ERROR_CANCELLED when the consent prompt
        // was refused; else why it could not be started or read back.
        DWORD error = ERROR_SUCCESS;
        DWORD exitCode = 0;
        std::vector<OperationResult> results;
    };

    // `zaltrow remove --from LIST --result RESULT` for these entries, run
    // by `run` (whose wait a WM_QUIT ends: only what the console program
    // has written by then is read).
    static HandOffOutcome Remove(const ElevatedRunner& run, const std::vector<ProgramEntry>& entries);
    // `zaltrow uninstall --from LIST --quiet --result RESULT`: the
    // uninstallers of these entries run elevated, one at a time, without
    // their windows (an elevated window the user did not ask for could not
    // be told apart from one planted). Its result lines carry what ran;
    // each reaches `arrived` while the step still runs. Once `stopAsked`
    // says so, the step starts no further uninstaller: the list it was lent
    // grows, which only this process can make it do.
    static HandOffOutcome Uninstall(const ElevatedRunner& run, const std::vector<ProgramEntry>& entries,
                                    const ResultArrived& arrived = {}, const std::function<bool()>& stopAsked = {});
    // `zaltrow restore FILE... --sha256 H1,... [--replace] --result RESULT`:
    // each file with the SHA-256 it had when the window showed it, so a
    // file swapped since is refused by the elevated step.
    static HandOffOutcome Restore(const ElevatedRunner& run, const std::vector<std::wstring>& files,
                                  const std::vector<std::wstring>& sha256s, bool replace);

    // The words for a refused prompt and for a failure to start.
    static std::wstring NotDoneText(DWORD error, const wchar_t* what);

private:
    // `zaltrow VERB --from LIST OPTIONS --result RESULT`.
    static HandOffOutcome WithEntries(const ElevatedRunner& run, const wchar_t* verb,
                                      const std::vector<ProgramEntry>& entries, const wchar_t* options,
                                      const ResultArrived& arrived, const std::function<bool()>& stopAsked);
    static HandOffOutcome Run(const ElevatedRunner& run, const std::wstring& arguments,
                              const std::wstring& workFolder, const ResultArrived& arrived,
                              const std::function<void()>& whileWaiting);
};
