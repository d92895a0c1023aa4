#include "widgets/BrowserEvents.h"

#include <exdisp.h>

namespace {

// A long from an argument passed as a long or as a reference to a variant.
long LongOf(const VARIANT& argument) {
    const VARIANT* value = &argument;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value)) value = V_VARIANTREF(value);
    switch (V_VT(value)) {
    case VT_I4: return V_I4(value);
    case VT_BYREF | VT_I4: return V_I4REF(value) ? *V_I4REF(value) : 0;
    default: break;
    }
    VARIANT converted;
    VariantInit(&converted);
    long result = 0;
    if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(value), 0, VT_I4))) result = V_I4(&converted);
    VariantClear(&converted);
    return result;
}

}  // namespace

BrowserEvents::BrowserEvents(Listener* listener) noexcept : listener_(listener) {}

STDMETHODIMP BrowserEvents::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BrowserEvents::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) BrowserEvents::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

STDMETHODIMP BrowserEvents::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

std::wstring BrowserEvents::TextOf(const VARIANT& argument) {
    const VARIANT* value = &argument;
    if (V_VT(value) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(value)) value = V_VARIANTREF(value);
    BSTR text = nullptr;
    if (V_VT(value) == VT_BSTR) {
        text = V_BSTR(value);
    } else if (V_VT(value) == (VT_BYREF | VT_BSTR) && V_BSTRREF(value)) {
        text = *V_BSTRREF(value);
    } else {
        return {};
    }
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

STDMETHODIMP BrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                   UINT*) {
    if (!parameters) return S_OK;
    // Arguments arrive last first: rgvarg[0] is the event's final parameter.
    const VARIANTARG* arguments = parameters->rgvarg;
    const UINT count = parameters->cArgs;
    try {
        switch (id) {
        case kBeforeNavigate2: {
            // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
            if (count < 7 || !listener_) break;
            VARIANT_BOOL* cancelFlag =
                V_VT(&arguments[0]) == (VT_BYREF | VT_BOOL) ? V_BOOLREF(&arguments[0]) : nullptr;
            bool cancel = cancelFlag && *cancelFlag != VARIANT_FALSE;
            listener_->OnBeforeNavigate2(TextOf(arguments[5]), cancel);
            if (cancelFlag) *cancelFlag = cancel ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        }
        case kNavigateError:
            // (pDisp, URL, TargetFrameName, StatusCode, Cancel)
            if (count < 5 || !listener_) break;
            listener_->OnNavigateError(TextOf(arguments[3]), LongOf(arguments[1]));
            break;
        case kDocumentComplete:
            // (pDisp, URL)
            if (count < 2 || !listener_) break;
            listener_->OnDocumentComplete(TextOf(arguments[0]));
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing may unwind into the control.
    }
    return S_OK;
}
