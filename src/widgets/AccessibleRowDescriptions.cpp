#include "widgets/AccessibleRowDescriptions.h"

#include <commctrl.h>
#include <oleauto.h>

#include <atomic>

// The property server the annotation service asks. It is a COM object that
// clients may hold after the list is gone, so it refers back to its owner
// only while the owner says so (Disconnect).
class AccessibleRowDescriptions::PropertyServer final : public IAccPropServer {
public:
    explicit PropertyServer(const AccessibleRowDescriptions* owner) : owner_(owner) {}
    void Disconnect() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IAccPropServer) {
            *object = static_cast<IAccPropServer*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD identityLength, MSAAPROPID property,
                                           VARIANT* value, BOOL* hasProperty) override {
        if (!value || !hasProperty) return E_POINTER;
        VariantInit(value);
        *hasProperty = FALSE;
        if (!owner_ || property != PROPID_ACC_DESCRIPTION || !owner_->services_) return S_OK;
        HWND window = nullptr;
        DWORD objectId = 0, childId = 0;
        if (FAILED(owner_->services_->DecomposeHwndIdentityString(identity, identityLength, &window, &objectId,
                                                                    &childId)))
            return S_OK;
        const std::wstring text = owner_->Description(window, static_cast<LONG>(objectId), childId);
        if (text.empty()) return S_OK;
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!value->bstrVal) {
            value->vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
        *hasProperty = TRUE;
        return S_OK;
    }

private:
    std::atomic<ULONG> references_{1};
    const AccessibleRowDescriptions* owner_;
};

AccessibleRowDescriptions::AccessibleRowDescriptions() = default;

AccessibleRowDescriptions::~AccessibleRowDescriptions() { Detach(); }

bool AccessibleRowDescriptions::Attach(HWND list, TextOfRow text) {
    Detach();
    list_ = list;
    text_ = std::move(text);
    server_.reset(new PropertyServer(this));
    if (!services_)
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         services_.put_void());
    if (!services_) return false;
    // ANNO_CONTAINER: the server answers for the list's children, the rows,
    // and is asked for each of them.
    MSAAPROPID properties[] = {PROPID_ACC_DESCRIPTION};
    registered_ = SUCCEEDED(services_->SetHwndPropServer(list, OBJID_CLIENT, CHILDID_SELF, properties, 1,
                                                         server_.get(), ANNO_CONTAINER));
    return registered_;
}

void AccessibleRowDescriptions::Detach() {
    if (registered_ && services_) {
        MSAAPROPID properties[] = {PROPID_ACC_DESCRIPTION};
        services_->ClearHwndProps(list_, OBJID_CLIENT, CHILDID_SELF, properties, 1);
    }
    registered_ = false;
    if (server_) server_->Disconnect();
    server_.reset();
    list_ = nullptr;
    text_ = nullptr;
}

std::wstring AccessibleRowDescriptions::Description(HWND window, LONG objectId, DWORD childId) const {
    if (!list_ || window != list_ || objectId != OBJID_CLIENT || childId == CHILDID_SELF || !text_) return {};
    const DWORD row = childId - 1;
    if (row >= static_cast<DWORD>(ListView_GetItemCount(list_))) return {};
    return text_(static_cast<int>(row));
}

IAccPropServer* AccessibleRowDescriptions::Server() const { return server_.get(); }
