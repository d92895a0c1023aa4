#include "DialogWatcher.h"

#include <algorithm>
#include <chrono>

namespace {

std::string WindowText(HWND window) {
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct Search {
    DWORD process;
    DWORD ownThread;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    if (process == search.process && thread != search.ownThread && IsWindowVisible(window) &&
        ClassOf(window) == "#32770")
        search.found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectControl(HWND child, LPARAM param) {
    auto& controls = *reinterpret_cast<std::vector<SeenControl>*>(param);
    SeenControl control;
    control.id = GetDlgCtrlID(child);
    control.className = ClassOf(child);
    control.text = WindowText(child);
    control.visible = IsWindowVisible(child) != FALSE;
    controls.push_back(control);
    return TRUE;
}

}  // namespace

std::vector<int> SeenDialog::VisibleButtons() const {
    std::vector<int> ids;
    for (const SeenControl& c : controls)
        if (c.visible && c.className == "Button") ids.push_back(c.id);
    return ids;
}

DialogWatcher::DialogWatcher(Answer answer)
    : answer_(std::move(answer)), ownThread_(GetCurrentThreadId()), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this] { Watch(); });
}

DialogWatcher::~DialogWatcher() {
    SetEvent(stop_.get());
    thread_.join();
}

std::vector<SeenDialog> DialogWatcher::Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

bool DialogWatcher::WaitForDialogs(std::size_t count, DWORD ms) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return seen_.size() >= count; });
}

void DialogWatcher::Press(HWND dialog, int buttonId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

void DialogWatcher::PressDefault(HWND dialog, const SeenDialog& seen) {
    const std::vector<int> buttons = seen.VisibleButtons();
    Press(dialog, std::find(buttons.begin(), buttons.end(), IDOK) != buttons.end() ? IDOK : IDCANCEL);
}

SeenDialog DialogWatcher::Read(HWND dialog) {
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    char text[2048] = "";
    if (GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text) > 0) seen.messageText = text;
    EnumChildWindows(dialog, CollectControl, reinterpret_cast<LPARAM>(&seen.controls));
    for (HWND child = GetWindow(dialog, GW_CHILD); child && !seen.icon; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return seen;
}

void DialogWatcher::Watch() {
    // Windows appearing give no event to wait for across threads: look
    // every few milliseconds until told to stop.
    while (WaitForSingleObject(stop_.get(), 5) == WAIT_TIMEOUT) {
        {
            // A closed dialog's handle may come back for a new one.
            std::lock_guard<std::mutex> lock(mutex_);
            handled_.erase(std::remove_if(handled_.begin(), handled_.end(), [](HWND h) { return !IsWindow(h); }),
                           handled_.end());
        }
        Search search{GetCurrentProcessId(), ownThread_, {}};
        EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
        for (HWND dialog : search.found) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (std::find(handled_.begin(), handled_.end(), dialog) != handled_.end()) continue;
            }
            // A visible dialog has made its controls.
            SeenDialog seen = Read(dialog);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                handled_.push_back(dialog);
                seen_.push_back(seen);
            }
            changed_.notify_all();
            answer_(dialog, seen);
        }
    }
}
