// Measures HttpFetcher for tools/bench-fetch.sh; not a test.
//   fetch_bench download <url> <file>  time a download into <file>
//   fetch_bench page <url>             time a text fetch and the processor
//                                      time the calling thread spends in it,
//                                      then what one second of polling the
//                                      message queue costs, for comparison
// Prints key=value lines.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "net/HttpFetcher.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// User plus kernel time of a thread, in milliseconds.
double ThreadCpuMs(HANDLE thread) {
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(thread, &created, &ended, &kernel, &user)) return -1;
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

long long FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "download") == 0) {
        HttpFetcher fetcher;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        fetcher.Fetch(argv[2], argv[3]);
        QueryPerformanceCounter(&end);
        const long long size = FileSize(argv[3]);
        const double seconds = Seconds(start, end);
        std::printf("download_bytes=%lld\ndownload_seconds=%.3f\ndownload_mb_per_s=%.1f\n", size, seconds,
                    size > 0 ? static_cast<double>(size) / (1024.0 * 1024.0) / seconds : 0.0);
        return size > 0 ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "page") == 0) {
        HttpFetcher fetcher;
        const HANDLE self = GetCurrentThread();
        const double cpuBefore = ThreadCpuMs(self);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        const std::size_t lines = fetcher.Fetch(argv[2]).size();
        QueryPerformanceCounter(&end);
        const double cpuAfter = ThreadCpuMs(self);
        // For comparison, and as a check that the thread times are real: a
        // wait that polls the queue without sleeping, for one second.
        const double pollBefore = ThreadCpuMs(self);
        LARGE_INTEGER pollStart, now;
        QueryPerformanceCounter(&pollStart);
        do {
            HttpFetcher::PumpMessages();
            QueryPerformanceCounter(&now);
        } while (Seconds(pollStart, now) < 1.0);
        const double pollCpu = ThreadCpuMs(self) - pollBefore;
        std::printf("page_lines=%u\npage_wall_ms=%.0f\ngui_thread_cpu_ms=%.1f\npolling_cpu_ms_per_s=%.1f\n",
                    static_cast<unsigned>(lines), Seconds(start, end) * 1000.0, cpuAfter - cpuBefore, pollCpu);
        return lines > 0 ? 0 : 1;
    }
    std::fprintf(stderr, "usage: fetch_bench download <url> <file> | fetch_bench page <url>\n");
    return 2;
}
