#pragma once
// Waiting for a started process (or any handle) while this thread's windows
// keep answering: painted, moved, and closed when asked. One rule for
// WM_QUIT everywhere: taken from the queue it is not dispatched (that would
// lose it); it ends the wait and is posted again with its exit code, so the
// message loop that owns it still ends.

#include <windows.h>

#include <functional>
#include <optional>

namespace fw {

enum class WaitEnd {
    Signalled,  // the handle was signalled: the process ended
    Quit,       // WM_QUIT came first; it is in the queue again
    Stopped,    // the caller's stop asked for it
    Failed,     // the handle cannot be waited for
};

// Handles every message waiting in this thread's queue: one for a dialog
// (or one of its controls) goes through that dialog's keyboard handling,
// so Escape and Tab work meanwhile; the rest are translated and
// dispatched. A WM_QUIT taken is not dispatched: its exit code is kept in
// `quit`, for the caller to post again when it stops handling messages.
void HandleQueuedMessages(std::optional<int>& quit);

// Handles messages until `handle` is signalled, WM_QUIT arrives, or
// `stop` (asked after each batch of messages, and at least every
// `periodMs` when no message comes) says so.
WaitEnd WaitHandlingMessages(HANDLE handle, const std::function<bool()>& stop = {}, DWORD periodMs = INFINITE);

}  // namespace fw
