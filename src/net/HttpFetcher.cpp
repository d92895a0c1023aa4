#include "net/HttpFetcher.h"

#include <memory>

#include "framework/UniqueHandle.h"
#include "net/DownloadWorker.h"
#include "net/FetchJob.h"
#include "net/FetchLock.h"
#include "net/PageWorker.h"

void HttpFetcher::PumpQueue(std::optional<int>& quit) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Dispatching WM_QUIT would lose it; the caller posts it again.
            quit = static_cast<int>(msg.wParam);
            continue;
        }
        if (!IsDialogMessageA(nullptr, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void HttpFetcher::PumpMessages() {
    std::optional<int> quit;
    PumpQueue(quit);
    if (quit) PostQuitMessage(*quit);
}

const std::vector<std::string>& HttpFetcher::Fetch(const std::string& url, const std::string& localFile,
                                                   HWND progressWindow) {
    FetchLock::Guard lock;
    const bool download = !localFile.empty();
    auto job = std::make_unique<FetchJob>(url, localFile, progressWindow);

    fw::KernelHandle thread(CreateThread(nullptr, 0, download ? DownloadWorker::Run : PageWorker::Run,
                                         job.get(), 0, nullptr));
    if (!thread) {
        // No worker, nothing fetched.
        if (!download) lines_.clear();
        return lines_;
    }

    // Waits without spinning: woken by any posted or sent message (the
    // worker's progress text comes as a sent one) or by the worker's end.
    std::optional<int> quit;
    const HANDLE handles[] = {thread.get()};
    for (;;) {
        PumpQueue(quit);
        if (job->IsFinished()) break;
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, handles, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // A worker that ended without setting the flag must not leave this
        // loop waking for ever. A failed wait just makes the loop poll.
        if (woken == WAIT_OBJECT_0) break;
    }
    // The worker touches the job no more once the flag is set; waiting for
    // its end as well makes freeing the job safe whatever it does after.
    WaitForSingleObject(thread.get(), INFINITE);

    if (!download) lines_.assign(job->lines.begin(), job->lines.end());
    job.reset();
    if (quit) PostQuitMessage(*quit);
    return lines_;
}
