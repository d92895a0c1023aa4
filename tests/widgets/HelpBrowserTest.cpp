// The browser control wrapper with the real WebBrowser control under Wine
// (which has no HTML engine here: pages fail with NavigateError), and its
// event sink fed the arguments exactly as the control passes them.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiDriver.h"
#include "widgets/BrowserEvents.h"
#include "widgets/CWebBrowser21.h"
#include "framework/ComPtr.h"

namespace {

class RecordingListener : public BrowserEvents::Listener {
public:
    void OnBeforeNavigate2(const std::wstring& url, bool& cancel) override {
        before.push_back(url);
        cancelWasSet.push_back(cancel);
        if (url.find(L"CANCEL") != std::wstring::npos) cancel = true;
    }
    void OnNavigateError(const std::wstring& url, long status) override {
        errors.push_back(url);
        statuses.push_back(status);
    }
    void OnDocumentComplete(const std::wstring& url) override { completed.push_back(url); }

    std::vector<std::wstring> before, errors, completed;
    std::vector<bool> cancelWasSet;
    std::vector<long> statuses;
};

// A plain top-level window to host the control in.
class HostWindow {
public:
    HostWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ZaltrowBrowserTestHost";
        RegisterClassA(&windowClass);
        hwnd_ = CreateWindowExA(0, windowClass.lpszClassName, "Browser test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                520, 420, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~HostWindow() { DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }

private:
    HWND hwnd_;
};

// One argument as the control passes a string: a reference to a variant
// that holds it.
struct ByRefString {
    explicit ByRefString(const wchar_t* text) {
        VariantInit(&inner);
        V_VT(&inner) = VT_BSTR;
        V_BSTR(&inner) = SysAllocString(text);
        VariantInit(&outer);
        V_VT(&outer) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&outer) = &inner;
    }
    ~ByRefString() { VariantClear(&inner); }
    VARIANT inner, outer;
};

}  // namespace

TEST(HelpBrowserEvents, BeforeNavigate2TakesTheUrlFromItsSixthLastArgumentAndSetsTheCancelFlag) {
    RecordingListener listener;
    fw::ComPtr<BrowserEvents> sink(new BrowserEvents(&listener));

    for (const wchar_t* url : {L"http://host/CANCEL/me", L"http://host/go"}) {
        ByRefString address(url);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANTARG arguments[7];
        for (VARIANTARG& argument : arguments) VariantInit(&argument);
        // Last first: Cancel, Headers, PostData, TargetFrameName, Flags, URL, pDisp.
        V_VT(&arguments[0]) = VT_BYREF | VT_BOOL;
        V_BOOLREF(&arguments[0]) = &cancel;
        arguments[5] = address.outer;
        DISPPARAMS parameters{arguments, nullptr, 7, 0};
        EXPECT_EQ(sink->Invoke(BrowserEvents::kBeforeNavigate2, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr,
                               nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(cancel, std::wstring(url).find(L"CANCEL") != std::wstring::npos ? VARIANT_TRUE : VARIANT_FALSE);
    }
    EXPECT_EQ(listener.before, (std::vector<std::wstring>{L"http://host/CANCEL/me", L"http://host/go"}));

    // NavigateError: URL fourth last, status second last (by reference).
    ByRefString failed(L"res://x.exe/23/186");
    VARIANT status;
    VariantInit(&status);
    V_VT(&status) = VT_I4;
    V_I4(&status) = static_cast<LONG>(0x800C0010);
    VARIANTARG arguments[5];
    for (VARIANTARG& argument : arguments) VariantInit(&argument);
    arguments[3] = failed.outer;
    V_VT(&arguments[1]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&arguments[1]) = &status;
    DISPPARAMS parameters{arguments, nullptr, 5, 0};
    sink->Invoke(BrowserEvents::kNavigateError, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
    EXPECT_EQ(listener.errors, std::vector<std::wstring>{L"res://x.exe/23/186"});
    EXPECT_EQ(listener.statuses, std::vector<long>{static_cast<long>(0x800C0010)});

    // A detached sink drops what still arrives; short argument lists too.
    DISPPARAMS tooFew{arguments, nullptr, 2, 0};
    sink->Invoke(BrowserEvents::kNavigateError, IID_NULL, 0, DISPATCH_METHOD, &tooFew, nullptr, nullptr, nullptr);
    sink->Detach();
    sink->Invoke(BrowserEvents::kNavigateError, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr,
                 nullptr);
    EXPECT_EQ(listener.errors.size(), 1u);
}

TEST(HelpBrowser, RealControlReportsEachNavigationAndHonoursTheCancel) {
    HostWindow window;
    CWebBrowser21 browser;
    ASSERT_TRUE(browser.Create("", WS_VISIBLE, RECT{10, 10, 410, 310}, window.Hwnd(), 1085));
    ASSERT_TRUE(browser.IsCreated());
    ASSERT_NE(browser.ControlWindow(), nullptr);
    EXPECT_EQ(GetDlgCtrlID(browser.Hwnd()), 1085);

    RecordingListener listener;
    browser.SetBeforeNavigate2Handler(
        [&](const std::wstring& url, bool& cancel) { listener.OnBeforeNavigate2(url, cancel); });
    browser.SetNavigateErrorHandler([&](const std::wstring& url, long status) { listener.OnNavigateError(url, status); });

    // Nothing listens on port 1: a navigation that goes ahead fails at once.
    EXPECT_EQ(browser.Navigate("http://127.0.0.1:1/first"), S_OK);
    ASSERT_TRUE(gui::PumpUntil([&] { return listener.errors.size() == 1; }, 10000));
    EXPECT_EQ(browser.Navigate("http://127.0.0.1:1/CANCEL"), S_OK);
    EXPECT_EQ(browser.Navigate("http://127.0.0.1:1/after"), S_OK);
    ASSERT_TRUE(gui::PumpUntil([&] { return listener.errors.size() >= 2 && listener.before.size() == 3; }, 10000));

    EXPECT_EQ(listener.before, (std::vector<std::wstring>{L"http://127.0.0.1:1/first", L"http://127.0.0.1:1/CANCEL",
                                                          L"http://127.0.0.1:1/after"}));
    EXPECT_EQ(listener.cancelWasSet, (std::vector<bool>{false, false, false}));
    // The cancelled one never went out, so only the other two failed.
    EXPECT_EQ(listener.errors, (std::vector<std::wstring>{L"http://127.0.0.1:1/first", L"http://127.0.0.1:1/after"}));
}

TEST(HelpBrowser, ControlFollowsItsHostsSizeAndClosesCleanly) {
    HostWindow window;
    CWebBrowser21 browser;
    ASSERT_TRUE(browser.Create("", WS_VISIBLE, RECT{0, 0, 300, 200}, window.Hwnd(), 7));
    HWND control = browser.ControlWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(IsChild(browser.Hwnd(), control));

    RECT inner{};
    GetClientRect(control, &inner);
    EXPECT_EQ(inner.right, 300);
    EXPECT_EQ(inner.bottom, 200);
    MoveWindow(browser.Hwnd(), 5, 5, 380, 260, TRUE);
    GetClientRect(control, &inner);
    EXPECT_EQ(inner.right, 380);
    EXPECT_EQ(inner.bottom, 260);

    browser.CloseControl();
    EXPECT_FALSE(browser.IsCreated());
    EXPECT_EQ(browser.ControlWindow(), nullptr);
    EXPECT_EQ(browser.Navigate("about:blank"), E_UNEXPECTED);
    EXPECT_TRUE(IsWindow(browser.Hwnd()));  // the host stays
    browser.CloseControl();                 // and a second close is harmless
}
