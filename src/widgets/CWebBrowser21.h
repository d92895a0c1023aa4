#pragma once
// Window wrapper of the WebBrowser ActiveX control. The wrapper is bound to
// a host child window (the dialog's placeholder, or one it creates); the
// control is made and activated in place inside that window when the
// wrapper is bound, follows the host's size, and is closed before the host
// goes. Navigation events reach the handlers set here.

#include <windows.h>
#include <oaidl.h>
#include <oleidl.h>

#include <functional>
#include <string>

#include "framework/Control.h"
#include "widgets/BrowserEvents.h"
#include "widgets/BrowserSite.h"
#include "framework/ComPtr.h"

class CWebBrowser21 : public fw::Control, private BrowserEvents::Listener {
public:
    // {8856F961-340A-11D0-A96B-00C04FD705A2}
    static const CLSID kClassId;
    // The control's dispatch id of Navigate.
    static constexpr DISPID kNavigateDispatchId = 104;

    using BeforeNavigateHandler = std::function<void(const std::wstring& url, bool& cancel)>;
    using NavigateErrorHandler = std::function<void(const std::wstring& url, long status)>;
    using DocumentCompleteHandler = std::function<void(const std::wstring& url)>;

    CWebBrowser21();
    ~CWebBrowser21() override;

    // Makes a host window of its own and the control in it (for windows
    // without a template placeholder). False when either failed; the host
    // window, if made, stays and is destroyed with this object.
    virtual bool Create(const char* windowName, DWORD style, const RECT& rect, HWND parent, int id);

    // True while the control exists and is active in its host.
    bool IsCreated() const { return static_cast<bool>(object_); }
    // The control's own window inside the host; null when there is none.
    HWND ControlWindow() const;

    // Calls the control's Navigate (dispatch id 104) with the URL as a
    // string and the other four arguments as optional variants (null:
    // left out). The control's result; E_UNEXPECTED without a control.
    HRESULT Navigate(const std::string& url, VARIANT* flags = nullptr, VARIANT* targetFrameName = nullptr,
                     VARIANT* postData = nullptr, VARIANT* headers = nullptr);

    void SetBeforeNavigate2Handler(BeforeNavigateHandler handler) { beforeNavigate_ = std::move(handler); }
    void SetNavigateErrorHandler(NavigateErrorHandler handler) { navigateError_ = std::move(handler); }
    void SetDocumentCompleteHandler(DocumentCompleteHandler handler) { documentComplete_ = std::move(handler); }

    // Disconnects and closes the control; the host window stays. Safe to
    // call again, and from no event handler of the control itself.
    void CloseControl();

protected:
    void PreSubclass() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool CreateControl();
    void ResizeControl();

    void OnBeforeNavigate2(const std::wstring& url, bool& cancel) override;
    void OnNavigateError(const std::wstring& url, long status) override;
    void OnDocumentComplete(const std::wstring& url) override;

    fw::ComPtr<BrowserSite> site_;
    fw::ComPtr<IOleObject> object_;
    fw::ComPtr<IDispatch> dispatch_;
    fw::ComPtr<BrowserEvents> events_;
    DWORD eventsCookie_ = 0;
    HWND ownHost_ = nullptr;  // a host made by Create, destroyed with us
    BeforeNavigateHandler beforeNavigate_;
    NavigateErrorHandler navigateError_;
    DocumentCompleteHandler documentComplete_;
};
