#include "net/HttpFetcher.h"

#include <memory>

#include "framework/MessageWait.h"
#include "framework/UniqueHandle.h"
#include "net/DownloadWorker.h"
#include "net/FetchJob.h"
#include "net/FetchLock.h"
#include "net/PageWorker.h"

void HttpFetcher::PumpMessages() {
    std::optional<int> quit;
    fw::HandleQueuedMessages(quit);
    if (quit) PostQuitMessage(*quit);
}

const std::vector<std::string>& HttpFetcher::Fetch(const std::string& url, const std::string& localFile,
                                                   DownloadProgress progress) {
    Run(url, localFile, {}, std::move(progress));
    return lines_;
}

void HttpFetcher::DownloadNew(const std::string& url, const std::wstring& newFile, DownloadProgress progress,
                              std::uint64_t maxBytes) {
    // Its name in messages: the file's own name, in the code page.
    const std::wstring name = newFile.substr(newFile.find_last_of(L'\\') + 1);
    std::string narrow(name.size() * 2 + 1, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, name.c_str(), static_cast<int>(name.size()), narrow.data(),
                                           static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    if (narrow.empty()) narrow.assign(1, '?');
    Run(url, narrow, newFile, std::move(progress), maxBytes);
}

void HttpFetcher::Run(const std::string& url, const std::string& localFile, const std::wstring& newFile,
                      DownloadProgress progress, std::uint64_t maxBytes) {
    FetchLock::Guard lock;
    const bool download = !localFile.empty();
    auto job = std::make_shared<FetchJob>(url, localFile, std::move(progress), newFile, notice_, maxBytes);
    outcome_ = FetchOutcome::Failed;
    failure_.clear();
    downloadedBytes_ = 0;

    // The worker's own share of the job, freed by the worker.
    auto workerShare = std::make_unique<std::shared_ptr<FetchJob>>(job);
    fw::KernelHandle thread(CreateThread(nullptr, 0, download ? DownloadWorker::Run : PageWorker::Run,
                                         workerShare.get(), 0, nullptr));
    if (!thread) {
        // No worker, nothing fetched.
        if (!download) lines_.clear();
        failure_ = "the fetch could not be started";
        return;
    }
    workerShare.release();

    struct Running {
        explicit Running(HttpFetcher& f) : fetcher(f) {
            fetcher.running_ = true;
            fetcher.cancelRequested_ = false;
        }
        ~Running() {
            fetcher.running_ = false;
            fetcher.cancelRequested_ = false;
        }
        HttpFetcher& fetcher;
    } running(*this);

    // Waits without spinning: woken by any posted or sent message (the
    // worker's progress text comes as a sent one), by the worker's end, or
    // when the fetch has been silent for too long.
    std::optional<int> quit;
    const HANDLE handles[] = {thread.get()};
    std::optional<FetchOutcome> givenUp;
    for (;;) {
        fw::HandleQueuedMessages(quit);
        if (job->IsFinished()) break;
        if (cancelRequested_ || quit) {
            givenUp = FetchOutcome::Cancelled;
            break;
        }
        const ULONGLONG idle = GetTickCount64() - job->LastActivity();
        const DWORD stallMs = StallMs();
        if (idle >= stallMs) {
            givenUp = FetchOutcome::Stalled;
            break;
        }
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, handles, static_cast<DWORD>(stallMs - idle),
                                                        QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // A worker that ended without setting the flag must not leave this
        // loop waking for ever.
        if (woken == WAIT_OBJECT_0 && !job->IsFinished()) {
            givenUp = FetchOutcome::Failed;
            break;
        }
    }

    if (givenUp) {
        // The worker may still be inside a blocking call; it sees this at
        // its next step, closes its request and deletes its file.
        job->Abandon();
        outcome_ = *givenUp;
        if (*givenUp == FetchOutcome::Stalled)
            failure_ = "nothing arrived for " + std::to_string(StallMs() / 1000) + " seconds";
        if (!download) lines_.clear();
    } else {
        outcome_ = job->complete ? FetchOutcome::Complete : FetchOutcome::Failed;
        downloadedBytes_ = job->bytesWritten;
        if (outcome_ == FetchOutcome::Failed) failure_ = job->failure;
        if (!download) lines_.assign(job->lines.begin(), job->lines.end());
    }
    if (quit) PostQuitMessage(*quit);
}
