#include "framework/UnelevatedStart.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <servprov.h>

#include "framework/Bstr.h"
#include "framework/ComPtr.h"
#include "framework/UniqueHandle.h"

namespace fw {
namespace {

// COM on this thread for as long as it lives, unless the thread had it
// already (then the owner's apartment is used, and left alone).
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// A VARIANT that borrows a BSTR or holds a number; never cleared, as it owns nothing.
VARIANT Text(const Bstr& text) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = text.get();
    return value;
}
VARIANT Number(LONG number) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = number;
    return value;
}

}  // namespace

UnelevatedStart::StartOutcome UnelevatedStart::Start(const std::wstring& file, const std::wstring& args,
                                                const std::wstring& folder) {
    if (SUCCEEDED(ThroughDesktopShell(file, args, folder))) return {ERROR_SUCCESS, Route::DesktopShell};
    return {Directly(file, args, folder), Route::Direct};
}

HRESULT UnelevatedStart::ThroughDesktopShell(const std::wstring& file, const std::wstring& args,
                                             const std::wstring& folder) {
    const ComScope com;
    ComPtr<IShellWindows> windows;
    HRESULT result =
        CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IShellWindows), windows.put_void());
    if (FAILED(result)) return result;
    VARIANT desktop = Number(CSIDL_DESKTOP);
    VARIANT noRoot;
    VariantInit(&noRoot);
    LONG desktopWindow = 0;
    ComPtr<IDispatch> browserDispatch;
    result = windows->FindWindowSW(&desktop, &noRoot, SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                                   browserDispatch.put());
    if (result != S_OK || !browserDispatch) return FAILED(result) ? result : E_FAIL;  // S_FALSE: no desktop

    const ComPtr<IServiceProvider> services = browserDispatch.As<IServiceProvider>();
    ComPtr<IShellBrowser> browser;
    if (!services || FAILED(result = services->QueryService(SID_STopLevelBrowser, __uuidof(IShellBrowser),
                                                            browser.put_void())))
        return services ? result : E_NOINTERFACE;
    ComPtr<IShellView> view;
    if (FAILED(result = browser->QueryActiveShellView(view.put()))) return result;
    ComPtr<IDispatch> viewDispatch;
    if (FAILED(result = view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), viewDispatch.put_void())))
        return result;
    const ComPtr<IShellFolderViewDual> folderView = viewDispatch.As<IShellFolderViewDual>();
    ComPtr<IDispatch> application;
    if (!folderView || FAILED(result = folderView->get_Application(application.put())))
        return folderView ? result : E_NOINTERFACE;
    const ComPtr<IShellDispatch2> shell = application.As<IShellDispatch2>();
    if (!shell) return E_NOINTERFACE;

    // The shell's process starts the program: let it bring the program to
    // the front, as this process could.
    DWORD shellProcess = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(static_cast<LONG_PTR>(desktopWindow)), &shellProcess);
    if (shellProcess != 0) AllowSetForegroundWindow(shellProcess);
    const Bstr fileText(file), argsText(args), folderText(folder), verb(std::wstring(L"open"));
    if (!fileText.get() || !argsText.get() || !folderText.get() || !verb.get()) return E_OUTOFMEMORY;
    return shell->ShellExecute(fileText.get(), Text(argsText), Text(folderText), Text(verb), Number(SW_SHOWNORMAL));
}

DWORD UnelevatedStart::Directly(const std::wstring& file, const std::wstring& args, const std::wstring& folder) {
    std::wstring command = L"\"" + file + L"\"";
    if (!args.empty()) command.append(L" ").append(args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(file.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return GetLastError();
    const KernelHandle process(started.hProcess);
    const KernelHandle thread(started.hThread);
    return ERROR_SUCCESS;
}

}  // namespace fw
