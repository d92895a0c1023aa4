// Keeps Wine's desktop process alive for a whole test run. Without a
// window of some process on the desktop it exits shortly after each test,
// and the next test that opens a window starts it again; the new desktop
// process then holds the test's output pipe open until it exits, about a
// second later, and CTest waits that second for every windowed test.

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "ZaltrowKeepDesktop";
    RegisterClassA(&windowClass);
    // Hidden, never shown: it only has to exist.
    CreateWindowExA(WS_EX_TOOLWINDOW, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                    instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
