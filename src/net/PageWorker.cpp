#include "net/PageWorker.h"

#include <memory>

#include "net/FetchJob.h"
#include "net/FetchRequest.h"
#include "net/LineReader.h"

void PageWorker::Fetch(FetchJob& job) {
    FetchRequest request(kHeaderText, &job);
    if (!request.Open(job.url)) return;
    LineReader reader([&request](char* buffer, std::size_t capacity) {
        return request.ReadSome(buffer, capacity);
    });
    // Appended one by one, so a failure part way keeps what came before.
    std::string line;
    while (reader.ReadLine(line)) job.lines.push_back(line);
    job.complete = true;
}

DWORD WINAPI PageWorker::Run(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<FetchJob>> share(static_cast<std::shared_ptr<FetchJob>*>(param));
    FetchJob& job = **share;
    try {
        Fetch(job);
    } catch (...) {
        // Any failure ends the fetch quietly; the request's handles are
        // closed by now.
    }
    job.Finish();
    return 0;
}
