#include "net/FetchLock.h"

HANDLE FetchLock::Handle() noexcept {
    // A function-local static, so a fetch from another static initialiser
    // still finds the mutex made.
    static const HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    return mutex;
}

namespace {
// Makes the mutex during static initialisation, before any fetch.
[[maybe_unused]] const HANDLE kMadeAtStart = FetchLock::Handle();
}  // namespace

FetchLock::Guard::Guard() noexcept {
    // An abandoned mutex is owned all the same: its holder thread died.
    const DWORD result = WaitForSingleObject(Handle(), INFINITE);
    owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

FetchLock::Guard::~Guard() {
    if (owned_) ReleaseMutex(Handle());
}
