#pragma once
// Extracts the icons of a fill's rows on a worker thread of its own, so a
// fill puts every row up at once and the icons follow as they come.
//
// The worker keeps its results until the window's thread takes them (the
// main window does so on a timer, which yields to painting: posted messages
// would not). Every Load starts a new batch and drops whatever the previous
// one still had coming, extracted or not, so a result is only ever handed
// out for the batch (and so the rows) it was asked for. Stop waits for the
// worker, which finishes at most the one extraction it is in.

#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/UniqueHandle.h"

struct IconJob {
    std::size_t key = 0;   // the caller's name for the job (the main window's: an icon source)
    std::wstring path;     // icon source
    int index = 0;         // icon number within it
    int size = 32;         // pixels, the rows' icon size
};

struct IconResult {
    std::size_t key = 0;
    fw::Icon icon;  // null when no icon could be extracted
};

class IconLoader {
public:
    IconLoader() = default;
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // How one icon is had: the source's picture of `size` pixels; null when none.
    using Extractor = HICON (*)(const std::wstring& path, int index, int size);
    static HICON ExtractIconAt(const std::wstring& path, int index, int size);
    // Another way, for tests that hold the worker inside an extraction.
    // Before the first Load only.
    void SetExtractor(Extractor extract) { extract_ = extract; }

    // Replaces whatever is queued or waiting by these jobs, done in order.
    void Load(std::vector<IconJob> jobs);
    // Moves the queued jobs with these keys to the front, in the order
    // given (the rows on screen, when the user scrolls or sorts).
    void Prioritize(const std::vector<std::size_t>& keys);
    // The results of the current batch that have come in since the last call.
    std::vector<IconResult> TakeResults();
    // True while the current batch has jobs left, one under way, or results
    // not yet taken.
    bool Busy() const;
    // Drops everything and ends the worker. Load after Stop does nothing.
    void Stop();

private:
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<IconJob> jobs_;
    std::vector<IconResult> results_;
    unsigned batch_ = 0;      // bumped by every Load and by Stop
    bool extracting_ = false; // the worker is inside an extraction
    bool stopped_ = false;
    Extractor extract_ = &ExtractIconAt;
    std::thread worker_;
};
