#include "framework/ProcessTree.h"

#include "framework/ElevatedStart.h"
#include "framework/ShellStart.h"

#include <algorithm>

namespace fw {

namespace {

// "The requested operation requires elevation"; MinGW's headers lack it.
constexpr DWORD kElevationRequired = 740;

std::wstring CurrentFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

}  // namespace

DWORD ProcessTree::Start(const std::wstring& file, const std::wstring& args) {
    job_.reset();
    process_.reset();
    heldIds_.clear();
    held_.clear();
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
        // own start, whose reason is then the one reported. The elevated one
        // is given this process's folder, as the plain start is.
        return error == kElevationRequired ? ElevatedStart::Start(file, args, CurrentFolder(), process_)
                                           : ShellStart::Start(nullptr, file, args, {}, process_);
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

void ProcessTree::Watch() {
    if (!job_) return;
    // Room for more than an uninstaller starts; the rest is seen next time.
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[63];
    } ids{};
    ids.list.NumberOfAssignedProcesses = 64;
    if (!QueryInformationJobObject(job_.get(), JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) return;
    const DWORD started = GetProcessId(process_.get());
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList && i < 64; ++i) {
        const DWORD id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
        if (id == started || std::find(heldIds_.begin(), heldIds_.end(), id) != heldIds_.end()) continue;
        KernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        if (!process) continue;
        heldIds_.push_back(id);
        held_.push_back(std::move(process));
    }
}

std::optional<DWORD> ProcessTree::ExitCode() const {
    if (!process_ || !Ended()) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code) || code == STILL_ACTIVE) return std::nullopt;
    if (code != 0) return code;
    ULONGLONG latest = 0;
    for (const KernelHandle& process : held_) {
        FILETIME created, exited, kernel, user;
        DWORD its = 0;
        if (!GetProcessTimes(process.get(), &created, &exited, &kernel, &user) ||
            !GetExitCodeProcess(process.get(), &its) || its == STILL_ACTIVE)
            continue;
        const ULONGLONG at = ULONGLONG{exited.dwHighDateTime} << 32 | exited.dwLowDateTime;
        if (at >= latest) {
            latest = at;
            code = its;
        }
    }
    return code;
}

}  // namespace fw
