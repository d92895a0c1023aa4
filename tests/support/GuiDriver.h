#pragma once
// Driving real windows from a test the way a person would: finding a
// window once it is on screen, reading its texts, pressing its buttons,
// and answering a modal box from a second thread while the test's own
// thread sits inside the modal loop.

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace gui {

// Handles this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);
// Handles messages until `done` holds or `timeoutMs` passes; done's value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A visible top-level window of process `pid` with that class and caption
// (null: any), waited for up to timeoutMs; null when none came.
HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs);

// A visible dialog-class window of this process that `accept` takes.
HWND WaitForDialog(const std::function<bool(HWND)>& accept, DWORD timeoutMs);
// Tells a message box ("#32770" with a message text) from other dialogs.
bool IsMessageBox(HWND window);
// Remove's question: a message box, or for one working program the task
// dialog whose button kRemoveTheEntry removes it (the others: Uninstall
// instead, and No).
constexpr int kRemoveTheEntry = 100;
bool IsRemoveQuestion(HWND window);
// The button BoxAnswerer presses for "remove it" in either: Yes or kRemoveTheEntry.
constexpr int kYesRemove = -100;
// True when the dialog has a button `id` reading `text`.
bool HasButton(HWND dialog, int id, const char* text);
// Presses Enter in a dialog of another thread, as the keyboard would.
void PressEnter(HWND dialog);
// Presses Escape in a dialog of another thread.
void PressEscape(HWND dialog);

// An icon's colour pixels, to compare icons whatever their handles (the
// same picture may be loaded under different handles).
std::string IconPixels(HICON icon);

std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
// The same in UTF-16, for names no code page holds.
std::wstring WideItemText(HWND dialog, int id);
// The texts of the buttons a dialog or message box shows, by control id.
std::vector<std::pair<int, std::string>> Buttons(HWND dialog);
// Presses a button as a click would: BN_CLICKED from that button.
void PressButton(HWND dialog, int id);

// What a modal box looked like when it was answered.
struct SeenBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;  // the message text (static 0xFFFF) of a message box
    std::wstring wideText;  // the same, exactly
    std::vector<std::pair<int, std::string>> buttons;
    HICON icon = nullptr;  // what its icon static shows, if it has one
};

// Waits on its own thread for a dialog-class window of this process with
// `caption`, records it, then presses `button` (0: leaves it open).
class BoxAnswerer {
public:
    BoxAnswerer(std::string caption, int button, DWORD timeoutMs = 10000);
    // Waits for the first dialog that `accept` takes.
    BoxAnswerer(std::function<bool(HWND)> accept, int button, DWORD timeoutMs = 10000);
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // Waits for the thread; the box as it was seen (window null: none came).
    const SeenBox& Seen();

private:
    void Answer(HWND box, int button);

    std::thread thread_;
    SeenBox seen_;
};

// A cell of a list view of this process, from any of its threads.
std::wstring ListItemText(HWND list, int row, int column);
// Rows of a list view in another process, column by column.
std::vector<std::vector<std::string>> RemoteListRows(HWND list, int columns);
// The item data of a row of a list view in another process.
LPARAM RemoteItemData(HWND list, int row);
// The image index of every row of a list view in another process.
std::vector<int> RemoteItemImages(HWND list);
// The image-list index of a row's icon (-1 when it has none).
int RemoteItemImage(HWND list, int row);
// Selects and focuses a row, as a click on it would.
void RemoteSelectRow(HWND list, int row);
// Selects these rows alone, the first one focused.
void RemoteSelectRows(HWND list, const std::vector<int>& rows);

}  // namespace gui
