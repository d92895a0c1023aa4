#pragma once
// The sink for the browser control's DWebBrowserEvents2: turns the three
// events the program cares about into calls on a listener. The control
// calls Invoke synchronously, on the thread that made it.

#include <windows.h>
#include <oaidl.h>

#include <string>

class BrowserEvents final : public IDispatch {
public:
    // Dispatch ids of DWebBrowserEvents2.
    static constexpr DISPID kBeforeNavigate2 = 250;
    static constexpr DISPID kDocumentComplete = 259;
    static constexpr DISPID kNavigateError = 271;

    class Listener {
    public:
        // Setting `cancel` stops the navigation before it starts.
        virtual void OnBeforeNavigate2(const std::wstring& url, bool& cancel) = 0;
        virtual void OnNavigateError(const std::wstring& url, long status) = 0;
        virtual void OnDocumentComplete(const std::wstring& url) = 0;

    protected:
        ~Listener() = default;
    };

    explicit BrowserEvents(Listener* listener) noexcept;

    // The listener is going; events that still arrive are dropped.
    void Detach() noexcept { listener_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

    // The text of an event argument: a string, or a reference to a variant
    // holding one; empty for anything else.
    static std::wstring TextOf(const VARIANT& argument);

private:
    ~BrowserEvents() = default;  // only Release deletes

    LONG references_ = 1;
    Listener* listener_;
};
