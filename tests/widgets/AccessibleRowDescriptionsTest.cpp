// A list's rows described to accessibility clients: what the property
// server answers for each child of which object, through the annotation
// service where the system has one (Wine 8's is a stub: there Attach says
// so and the server's own answers are what is tested), and nothing once
// detached.

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/ComPtr.h"
#include "widgets/AccessibleRowDescriptions.h"

namespace {

struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
};

// What a client gets for a child through the server, given an identity
// string; hasProperty false gives "".
std::wstring Ask(IAccPropServer* server, const BYTE* identity, DWORD length, const MSAAPROPID& property) {
    VARIANT value;
    BOOL has = TRUE;
    EXPECT_EQ(server->GetPropValue(identity, length, property, &value, &has), S_OK);
    std::wstring text;
    if (has && value.vt == VT_BSTR) text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    EXPECT_EQ(has != FALSE, !text.empty());
    VariantClear(&value);
    return text;
}

TEST(AccessibleRowDescriptions, RowsOfTheListGetTheirTextsAndNothingElseDoes) {
    ComApartment com;
    InitCommonControls();
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
    HWND other = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(list && other);
    LVCOLUMNW column{};
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    for (int row = 0; row < 3; ++row) {
        LVITEMW item{};
        item.iItem = row;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }

    const std::wstring reason = L"Phantom entry: The uninstaller is missing: C:\\Gone\\unins000.exe";
    {
        AccessibleRowDescriptions descriptions;
        const bool attached =
            descriptions.Attach(list, [&reason](int row) { return row == 1 ? reason : std::wstring(); });
        ASSERT_NE(descriptions.Server(), nullptr);

        const struct {
            HWND window;
            LONG object;
            DWORD child;
            std::wstring text;
        } cases[] = {
            {list, OBJID_CLIENT, 2, reason},         // row 1
            {list, OBJID_CLIENT, 1, L""},            // a row that is not red
            {list, OBJID_CLIENT, CHILDID_SELF, L""}, // the list itself
            {list, OBJID_CLIENT, 4, L""},            // past the last row
            {list, OBJID_WINDOW, 2, L""},
            {other, OBJID_CLIENT, 2, L""},
        };
        for (const auto& c : cases) {
            EXPECT_EQ(descriptions.Description(c.window, c.object, c.child), c.text) << c.object << " " << c.child;
        }

        // A client's request through the server: an identity it cannot
        // decompose, or a property it does not serve, has no value.
        const BYTE junk[4] = {1, 2, 3, 4};
        EXPECT_EQ(Ask(descriptions.Server(), junk, sizeof junk, PROPID_ACC_DESCRIPTION), L"");

        fw::ComPtr<IAccPropServices> services;
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         services.put_void());
        BYTE* identity = nullptr;
        DWORD length = 0;
        if (services && SUCCEEDED(services->ComposeHwndIdentityString(list, OBJID_CLIENT, 2, &identity, &length))) {
            EXPECT_EQ(Ask(descriptions.Server(), identity, length, PROPID_ACC_DESCRIPTION), reason);
            EXPECT_EQ(Ask(descriptions.Server(), identity, length, PROPID_ACC_NAME), L"");
            CoTaskMemFree(identity);
        }
        if (attached) {
            // The system routes a client's question to the server.
            fw::ComPtr<IAccessible> accessible;
            ASSERT_EQ(AccessibleObjectFromWindow(list, OBJID_CLIENT, IID_IAccessible, accessible.put_void()), S_OK);
            VARIANT child;
            child.vt = VT_I4;
            child.lVal = 2;
            BSTR text = nullptr;
            ASSERT_EQ(accessible->get_accDescription(child, &text), S_OK);
            EXPECT_EQ(std::wstring(text ? text : L""), reason);
            SysFreeString(text);
        } else {
            std::printf("The system has no annotation service: rows keep the list's own descriptions.\n");
        }
        descriptions.Detach();
        EXPECT_EQ(descriptions.Description(list, OBJID_CLIENT, 2), L"");
        EXPECT_EQ(descriptions.Server(), nullptr);
    }
    DestroyWindow(other);
    DestroyWindow(list);
}

}  // namespace
