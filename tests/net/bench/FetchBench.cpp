// Measures HttpFetcher for tools/bench-fetch.sh; not a test.
//   fetch_bench download <url> <file>  time a download into <file>
//   fetch_bench upgrade <url> <file> <statement>
//                                      the upgrade's real flow: the
//                                      "Upgrading Software" progress window,
//                                      the download into <file> with its
//                                      progress text, then the same again
//                                      made new, with the proof (program
//                                      header, size and SHA-256 of the
//                                      signed statement's line)
//   fetch_bench page <url>             time a text fetch and the processor
//                                      time the calling thread spends in it,
//                                      then what one second of polling the
//                                      message queue costs, for comparison
// Prints key=value lines.

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "net/HttpFetcher.h"
#include "net/InstallerDownload.h"
#include "app/UpgradeProgressDialog.h"
#include "net/UpgradeStatement.h"

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

int Upgrade(const char* url, const char* file, const char* statementLine) {
    const std::optional<UpgradeStatement> statement = ParseUpgradeStatement(statementLine);
    if (!statement) return 2;
    UpgradeProgressDialog progress(nullptr);
    if (!progress.Open("Upgrading Software")) return 1;

    // The download exactly as the installation makes it.
    HttpFetcher downloader;
    DeleteFileA(file);
    LARGE_INTEGER start, fetched, proven;
    QueryPerformanceCounter(&start);
    downloader.Fetch(url, file, progress.ProgressText());
    QueryPerformanceCounter(&fetched);
    char text[128] = {};
    GetDlgItemTextA(progress.Hwnd(), 1076, text, sizeof text);
    const long long size = FileSize(file);

    // And the whole step before installing: the download made new, proof.
    DeleteFileA(file);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH);
    LARGE_INTEGER again;
    QueryPerformanceCounter(&again);
    InstallerDownload installer(wide);
    const bool ok = installer.Run(downloader, url, *statement, progress.ProgressText()) ==
                    InstallerDownload::Result::Proven;
    QueryPerformanceCounter(&proven);
    installer.Release();
    progress.Close();
    std::printf("upgrade_bytes=%lld\nupgrade_download_seconds=%.3f\nupgrade_proven_seconds=%.3f\n"
                "upgrade_proven=%d\nupgrade_last_text=%s\n",
                size, Seconds(start, fetched), Seconds(again, proven), ok ? 1 : 0, text);
    return size > 0 && ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "upgrade") == 0) return Upgrade(argv[2], argv[3], argv[4]);
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
    std::fprintf(stderr, "usage: fetch_bench download <url> <file> | fetch_bench page <url> | "
                         "fetch_bench upgrade <url> <file> <signature> <key-hex>\n");
    return 2;
}
