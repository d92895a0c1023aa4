#include "widgets/CWebBrowser21.h"

#include <exdisp.h>
#include <ocidl.h>

#include "BuildConfig.h"
#include "framework/Bstr.h"

const CLSID CWebBrowser21::kClassId = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

CWebBrowser21::CWebBrowser21() = default;

CWebBrowser21::~CWebBrowser21() {
    CloseControl();
    if (ownHost_ && IsWindow(ownHost_)) DestroyWindow(ownHost_);
}

bool CWebBrowser21::Create(const char* windowName, DWORD style, const RECT& rect, HWND parent, int id) {
    if (Hwnd()) return false;
    HWND host = CreateWindowExA(0, "Static", windowName, style | WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                nullptr);
    if (!host) return false;
    ownHost_ = host;
    return Attach(host) && IsCreated();
}

void CWebBrowser21::PreSubclass() {
    // The host clips the control's window out of its own painting.
    SetWindowLongPtrA(Hwnd(), GWL_STYLE, GetWindowLongPtrA(Hwnd(), GWL_STYLE) | WS_CLIPCHILDREN);
    if (!CreateControl()) CloseControl();
}

bool CWebBrowser21::CreateControl() {
    if (FAILED(CoCreateInstance(kClassId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IOleObject,
                                object_.put_void())))
        return false;
    site_.reset(new BrowserSite(Hwnd()));
    // The browser control wants its site before anything else.
    if (FAILED(object_->SetClientSite(site_.get()))) return false;
    if (fw::ComPtr<IPersistStreamInit> persist = object_.As<IPersistStreamInit>()) persist->InitNew();
    object_->SetHostNames(L"" ZALTROW_PRODUCT_NAME, nullptr);

    RECT area{};
    GetClientRect(Hwnd(), &area);
    if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, Hwnd(), &area))) return false;

    dispatch_ = object_.As<IDispatch>();
    if (!dispatch_) return false;

    // Events are wanted but not required: without them nothing is
    // intercepted, which the caller learns from the missing notifications.
    if (fw::ComPtr<IConnectionPointContainer> points = object_.As<IConnectionPointContainer>()) {
        fw::ComPtr<IConnectionPoint> point;
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()))) {
            events_.reset(new BrowserEvents(this));
            if (FAILED(point->Advise(events_.get(), &eventsCookie_))) {
                eventsCookie_ = 0;
                events_->Detach();
                events_.reset();
            }
        }
    }
    return true;
}

void CWebBrowser21::CloseControl() {
    if (events_) {
        events_->Detach();
        if (eventsCookie_ && object_) {
            if (fw::ComPtr<IConnectionPointContainer> points = object_.As<IConnectionPointContainer>()) {
                fw::ComPtr<IConnectionPoint> point;
                if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put())))
                    point->Unadvise(eventsCookie_);
            }
        }
        eventsCookie_ = 0;
        events_.reset();
    }
    dispatch_.reset();
    if (object_) {
        if (fw::ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>()) inPlace->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.reset();
    }
    if (site_) {
        site_->DetachHost();
        site_.reset();
    }
}

HWND CWebBrowser21::ControlWindow() const {
    if (!object_) return nullptr;
    HWND window = nullptr;
    if (fw::ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>()) inPlace->GetWindow(&window);
    return window;
}

void CWebBrowser21::ResizeControl() {
    if (!object_) return;
    fw::ComPtr<IOleInPlaceObject> inPlace = object_.As<IOleInPlaceObject>();
    if (!inPlace) return;
    RECT area{};
    GetClientRect(Hwnd(), &area);
    inPlace->SetObjectRects(&area, &area);
}

HRESULT CWebBrowser21::Navigate(const std::string& url, VARIANT* flags, VARIANT* targetFrameName,
                                VARIANT* postData, VARIANT* headers) {
    if (!dispatch_) return E_UNEXPECTED;
    fw::Bstr address(url);
    if (!address.get()) return E_OUTOFMEMORY;

    // Left-out optional arguments go as references to empty variants.
    VARIANT empty[4];
    VARIANT* given[4] = {headers, postData, targetFrameName, flags};
    VARIANTARG arguments[5];
    for (int i = 0; i < 4; ++i) {
        VariantInit(&empty[i]);
        VariantInit(&arguments[i]);
        V_VT(&arguments[i]) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&arguments[i]) = given[i] ? given[i] : &empty[i];
    }
    VariantInit(&arguments[4]);
    V_VT(&arguments[4]) = VT_BSTR;
    V_BSTR(&arguments[4]) = address.get();  // still owned by `address`

    DISPPARAMS parameters{arguments, nullptr, 5, 0};
    // Hold the control: an event handler may close it during the call.
    fw::ComPtr<IDispatch> dispatch = dispatch_;
    return dispatch->Invoke(kNavigateDispatchId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                            nullptr, nullptr, nullptr);
}

LRESULT CWebBrowser21::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        ResizeControl();
        return result;
    }
    case WM_SETFOCUS:
        // The keyboard belongs to the page, not to the empty host.
        if (HWND control = ControlWindow()) {
            SetFocus(control);
            return 0;
        }
        break;
    case WM_DESTROY:
        CloseControl();
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

void CWebBrowser21::OnBeforeNavigate2(const std::wstring& url, bool& cancel) {
    if (beforeNavigate_) beforeNavigate_(url, cancel);
}

void CWebBrowser21::OnNavigateError(const std::wstring& url, long status) {
    if (navigateError_) navigateError_(url, status);
}

void CWebBrowser21::OnDocumentComplete(const std::wstring& url) {
    if (documentComplete_) documentComplete_(url);
}
