#include "net/PageWorker.h"

#include <algorithm>
#include <memory>

#include "net/FetchJob.h"
#include "net/FetchRequest.h"
#include "net/FetchRules.h"
#include "net/InternetFailure.h"
#include "net/LineReader.h"

void PageWorker::Fetch(FetchJob& job) {
    FetchRequest request(kHeaderText, &job);
    try {
        if (!request.Open(job.url)) {
            job.failure = request.Failure();
            return;
        }
        // One byte past the limit is asked for, to tell a page of exactly
        // the limit from a larger one.
        std::size_t total = 0;
        LineReader reader([&](char* buffer, std::size_t capacity) {
            const std::size_t got = request.ReadSome(buffer, std::min(capacity, kPageLimitBytes + 1 - total));
            total += got;
            return total > kPageLimitBytes ? 0 : got;
        });
        // Appended one by one, so a failure part way keeps what came before.
        std::string line;
        while (reader.ReadLine(line)) job.lines.push_back(line);
        if (total > kPageLimitBytes) job.failure = PageTooLargeText(kPageLimitBytes);
        else job.failure = request.Failure();  // the status, when not 200
    } catch (const InternetFailure& failure) {
        job.failure = ConnectionFailureText(failure.Error());
        return;
    }
    job.complete = job.failure.empty();
}

DWORD WINAPI PageWorker::Run(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<FetchJob>> share(static_cast<std::shared_ptr<FetchJob>*>(param));
    FetchJob& job = **share;
    try {
        Fetch(job);
    } catch (...) {
        // Any other failure ends the fetch quietly; the request's handles
        // close once the job is finished.
    }
    job.Finish();
    return 0;
}
