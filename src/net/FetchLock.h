#pragma once
// The process-wide lock held for the whole of each fetch: an unnamed
// platform mutex made during static initialisation and kept until the
// process ends. A mutex may be taken again by the thread that holds it, so
// it serialises fetches between threads but not a fetch nested inside
// another on the same thread.

#include <windows.h>

class FetchLock {
public:
    // Holds the lock for its lifetime, waiting for it without a time limit.
    class Guard {
    public:
        Guard() noexcept;
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        bool owned_ = false;
    };

    // The mutex; never closed.
    static HANDLE Handle() noexcept;
};
