#include "GuiDriver.h"

#include <commctrl.h>
#include <ole2.h>

#include <chrono>

#include "framework/UniqueHandle.h"

namespace gui {
namespace {

// Every program that drives windows needs the common controls registered
// and OLE set up on its main thread, as the application does at start.
const bool platformReady = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    return true;
}();

struct Search {
    DWORD pid;
    const char* className;
    const char* caption;
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || !IsWindowVisible(window)) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (search.className && lstrcmpA(className, search.className) != 0) return TRUE;
    if (search.caption && Text(window) != search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindNow(DWORD pid, const char* className, const char* caption) {
    Search search{pid, className, caption};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

HWND WaitForWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (HWND window = FindNow(pid, className, caption)) {
            // The window's children exist once the dialog manager is done.
            if (!className || lstrcmpA(className, "#32770") != 0 || GetWindow(window, GW_CHILD)) return window;
        }
        if (std::chrono::steady_clock::now() >= deadline) return nullptr;
        Sleep(10);
    }
}

std::string Text(HWND window) {
    char text[4096] = {};
    // WM_GETTEXT with a timeout, so a hung window cannot hang the test.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             2000, &length))
        return {};
    return std::string(text, length);
}

std::string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    return item ? Text(item) : std::string();
}

std::wstring WideItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    if (!item || !SendMessageTimeoutW(item, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                                      &length))
        return {};
    return std::wstring(text, length);
}

std::vector<std::pair<int, std::string>> Buttons(HWND dialog) {
    std::vector<std::pair<int, std::string>> buttons;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") != 0 || !IsWindowVisible(child)) continue;
        const LONG_PTR type = GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_GROUPBOX) continue;
        buttons.emplace_back(GetDlgCtrlID(child), Text(child));
    }
    return buttons;
}

void PressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

BoxAnswerer::BoxAnswerer(std::string caption, int button, DWORD timeoutMs)
    : thread_([this, caption = std::move(caption), button, timeoutMs] {
          Answer(WaitForWindow(GetCurrentProcessId(), "#32770", caption.c_str(), timeoutMs), button);
      }) {}

BoxAnswerer::BoxAnswerer(std::function<bool(HWND)> accept, int button, DWORD timeoutMs)
    : thread_([this, accept = std::move(accept), button, timeoutMs] {
          Answer(WaitForDialog(accept, timeoutMs), button);
      }) {}

void BoxAnswerer::Answer(HWND box, int button) {
    if (!box) return;
    Sleep(50);  // let the box finish laying itself out
    seen_.window = box;
    seen_.caption = Text(box);
    seen_.text = ItemText(box, 0xFFFF);
    seen_.wideText = WideItemText(box, 0xFFFF);
    // A task dialog's content is the longest of its statics' texts.
    if (!GetDlgItem(box, 0xFFFF))
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t className[16] = {};
            GetClassNameW(child, className, 16);
            if (lstrcmpiW(className, L"Static") != 0) continue;
            wchar_t text[4096] = {};
            GetWindowTextW(child, text, 4096);
            if (wcslen(text) > seen_.wideText.size()) {
                seen_.wideText = text;
                seen_.text = Text(child);
            }
        }
    seen_.buttons = Buttons(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            seen_.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    if (button == kYesRemove) button = GetDlgItem(box, IDYES) ? IDYES : kRemoveTheEntry;
    if (button) PressButton(box, button);
}

namespace {

struct DialogSearch {
    const std::function<bool(HWND)>* accept;
    HWND found = nullptr;
};

BOOL CALLBACK VisitDialog(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<DialogSearch*>(parameter);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0 ||
        !GetWindow(window, GW_CHILD) || !(*search.accept)(window))
        return TRUE;
    search.found = window;
    return FALSE;
}

void PressKey(HWND dialog, WPARAM key) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    HWND target = info.hwndFocus ? info.hwndFocus : dialog;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

}  // namespace

HWND WaitForDialog(const std::function<bool(HWND)>& accept, DWORD timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        DialogSearch search{&accept};
        EnumWindows(&VisitDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (std::chrono::steady_clock::now() >= deadline) return nullptr;
        Sleep(10);
    }
}

bool IsMessageBox(HWND window) {
    // A message box has its text in static 0xFFFF and nothing but buttons,
    // statics and that text; other dialogs here have more controls.
    HWND text = GetDlgItem(window, 0xFFFF);
    return text && !GetDlgItem(window, 1000) && !GetDlgItem(window, 1028);
}

bool IsRemoveQuestion(HWND window) {
    return IsMessageBox(window) || HasButton(window, kRemoveTheEntry, "&Remove the entry");
}

bool HasButton(HWND dialog, int id, const char* text) {
    HWND button = GetDlgItem(dialog, id);
    return button && Text(button) == text;
}

void PressEnter(HWND dialog) { PressKey(dialog, VK_RETURN); }

void PressEscape(HWND dialog) { PressKey(dialog, VK_ESCAPE); }

BoxAnswerer::~BoxAnswerer() {
    if (thread_.joinable()) thread_.join();
}

const SeenBox& BoxAnswerer::Seen() {
    if (thread_.joinable()) thread_.join();
    return seen_;
}

namespace {

// Memory in another process for one list-view request.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, std::size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    char* Address() const { return static_cast<char*>(address_); }

private:
    HANDLE process_;
    void* address_;
};

HANDLE OpenOwner(HWND list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    return OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
}

}  // namespace

std::wstring ListItemText(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::vector<std::string>> RemoteListRows(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    HANDLE process = OpenOwner(list);
    if (!process) return rows;
    {
        constexpr std::size_t kText = 2048;
        RemoteBuffer buffer(process, sizeof(LVITEMA) + kText);
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            std::vector<std::string> cells;
            for (int column = 0; column < columns; ++column) {
                LVITEMA item{};
                item.iSubItem = column;
                item.pszText = buffer.Address() + sizeof(LVITEMA);
                item.cchTextMax = kText;
                WriteProcessMemory(process, buffer.Address(), &item, sizeof item, nullptr);
                const auto length = SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buffer.Address()));
                std::string text(static_cast<std::size_t>(length), '\0');
                ReadProcessMemory(process, buffer.Address() + sizeof(LVITEMA), text.data(), text.size(), nullptr);
                cells.push_back(text);
            }
            rows.push_back(cells);
        }
    }
    CloseHandle(process);
    return rows;
}

namespace {

// Sends `message` with an LVITEMA that lives in the list's own process;
// the item as the list left it.
LVITEMA RemoteItemCall(HWND list, UINT message, WPARAM wParam, LVITEMA item) {
    HANDLE process = OpenOwner(list);
    if (!process) return item;
    {
        RemoteBuffer buffer(process, sizeof(LVITEMA));
        WriteProcessMemory(process, buffer.Address(), &item, sizeof item, nullptr);
        SendMessageA(list, message, wParam, reinterpret_cast<LPARAM>(buffer.Address()));
        ReadProcessMemory(process, buffer.Address(), &item, sizeof item, nullptr);
    }
    CloseHandle(process);
    return item;
}

}  // namespace

LPARAM RemoteItemData(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return RemoteItemCall(list, LVM_GETITEMA, 0, item).lParam;
}

int RemoteItemImage(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -1;
    return RemoteItemCall(list, LVM_GETITEMA, 0, item).iImage;
}

void RemoteSelectRow(HWND list, int row) { RemoteSelectRows(list, {row}); }

void RemoteSelectRows(HWND list, const std::vector<int>& rows) {
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    RemoteItemCall(list, LVM_SETITEMSTATE, -1, none);  // a click selects that row alone
    for (std::size_t i = 0; i < rows.size(); ++i) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
        item.state = item.stateMask;
        RemoteItemCall(list, LVM_SETITEMSTATE, rows[i], item);
    }
}

std::vector<int> RemoteItemImages(HWND list) {
    std::vector<int> images;
    HANDLE process = OpenOwner(list);
    if (!process) return images;
    {
        RemoteBuffer buffer(process, sizeof(LVITEMA));
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            WriteProcessMemory(process, buffer.Address(), &item, sizeof item, nullptr);
            SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer.Address()));
            ReadProcessMemory(process, buffer.Address(), &item, sizeof item, nullptr);
            images.push_back(item.iImage);
        }
    }
    CloseHandle(process);
    return images;
}

std::string IconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return std::string();
    fw::Bitmap color(info.hbmColor);
    fw::Bitmap mask(info.hbmMask);
    BITMAP bitmap{};
    GetObjectA(color.get(), sizeof bitmap, &bitmap);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::string pixels(static_cast<std::size_t>(bitmap.bmWidth) * bitmap.bmHeight * 4, '\0');
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, color.get(), 0, bitmap.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

}  // namespace gui
