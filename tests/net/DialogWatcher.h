#pragma once
// Plays the user for dialogs that a fetch worker shows: a thread looks for
// visible top-level dialog windows (class #32770) of this process that do
// not belong to the thread that made the watcher, records what each one
// shows and answers it through the test's callback, like a person pressing
// a button. A test that expects no dialog checks Seen() is empty; a dialog
// that appears anyway is still answered, so the test ends instead of hanging.

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/UniqueHandle.h"

struct SeenControl {
    int id = 0;
    std::string className;
    std::string text;
    bool visible = false;
};

struct SeenDialog {
    std::string caption;
    std::string messageText;  // a message box's text (control 0xFFFF)
    HICON icon = nullptr;     // the icon of its first icon control, if any
    std::vector<SeenControl> controls;

    // The visible buttons' ids, in child order.
    std::vector<int> VisibleButtons() const;
};

class DialogWatcher {
public:
    // Called on the watcher's thread once per dialog, after it was
    // recorded; it answers the dialog (see Press, SetEditText).
    using Answer = std::function<void(HWND dialog, const SeenDialog& seen)>;

    explicit DialogWatcher(Answer answer = PressDefault);
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    std::vector<SeenDialog> Seen() const;
    bool WaitForDialogs(std::size_t count, DWORD ms) const;

    // Posts a button click, as a mouse click on it would.
    static void Press(HWND dialog, int buttonId);
    // OK when there is one, otherwise Cancel.
    static void PressDefault(HWND dialog, const SeenDialog& seen);

private:
    void Watch();
    static SeenDialog Read(HWND dialog);

    Answer answer_;
    DWORD ownThread_;
    fw::KernelHandle stop_;
    std::thread thread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_;
};
