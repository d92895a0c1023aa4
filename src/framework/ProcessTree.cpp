#include "framework/ProcessTree.h"

#include <shellapi.h>

namespace fw {

namespace {

// "The requested operation requires elevation"; MinGW's headers lack it.
constexpr DWORD kElevationRequired = 740;

}  // namespace

DWORD ProcessTree::Start(const std::wstring& file, const std::wstring& args) {
    job_.reset();
    process_.reset();
    std::wstring commandLine = L"\"" + file + L"\"";
    if (!args.empty()) commandLine.append(L" ").append(args);
    // No folder of its own, as the shell started it: an uninstaller whose
    // working folder were its install folder could not delete that folder.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Suspended until it is in the job, so not even its first child escapes.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &started)) {
        const DWORD error = GetLastError();
        // Only the shell asks for consent; and what CreateProcessW cannot run
        // at all (no program, a name only the shell knows) gets the shell's
        // own start, whose reason is then the one reported.
        return StartThroughShell(file, args, error == kElevationRequired ? L"runas" : nullptr);
    }
    const KernelHandle thread(started.hThread);
    process_.reset(started.hProcess);
    KernelHandle job(CreateJobObjectW(nullptr, nullptr));
    if (job && AssignProcessToJobObject(job.get(), process_.get())) job_ = std::move(job);
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        const DWORD error = GetLastError();
        TerminateProcess(process_.get(), error);  // never left suspended, to be waited for forever
        job_.reset();
        process_.reset();
        return error;
    }
    return ERROR_SUCCESS;
}

DWORD ProcessTree::StartThroughShell(const std::wstring& file, const std::wstring& args, const wchar_t* verb) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No box of the shell's own: the caller decides what the user is told.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = args.empty() ? nullptr : args.c_str();
    info.nShow = SW_SHOWNORMAL;
    SetLastError(ERROR_SUCCESS);
    const BOOL done = ShellExecuteExW(&info);
    KernelHandle process(info.hProcess);
    if (done && reinterpret_cast<INT_PTR>(info.hInstApp) > 32) {
        process_ = std::move(process);
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE;
}

bool ProcessTree::Ended() const {
    if (job_) {
        // The count Windows keeps, rather than the job's completion messages,
        // whose delivery it does not promise.
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        return QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting,
                                         sizeof accounting, nullptr) &&
               accounting.ActiveProcesses == 0;
    }
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
}

}  // namespace fw
