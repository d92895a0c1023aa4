// A list's rows described to accessibility clients: what the property
// server answers for each child of which object.

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include "widgets/AccessibleRowDescriptions.h"

namespace {

TEST(AccessibleRowDescriptions, RowsOfTheListGetTheirTextsAndNothingElseDoes) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InitCommonControls();
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    HWND other = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    for (int row = 0; row < 3; ++row) {
        LVITEMW item{};
        item.iItem = row;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    const std::wstring reason = L"Phantom entry: The uninstaller is missing: C:\\Gone\\unins000.exe";
    AccessibleRowDescriptions descriptions;
    // False under Wine, whose annotation service is a stub; the server's
    // answers are the same either way.
    descriptions.Attach(list, [&](int row) { return row == 1 ? reason : std::wstring(); });
    ASSERT_NE(descriptions.Server(), nullptr);

    const struct {
        HWND window;
        LONG object;
        DWORD child;
        std::wstring text;
    } cases[] = {
        {list, OBJID_CLIENT, 2, reason}, {list, OBJID_CLIENT, 1, L""}, {list, OBJID_CLIENT, CHILDID_SELF, L""},
        {list, OBJID_CLIENT, 4, L""},    {list, OBJID_WINDOW, 2, L""}, {other, OBJID_CLIENT, 2, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(descriptions.Description(c.window, c.object, c.child), c.text) << c.object << " " << c.child;

    // An identity the service cannot decompose has no description.
    const BYTE junk[4] = {1, 2, 3, 4};
    VARIANT value;
    BOOL has = TRUE;
    EXPECT_EQ(descriptions.Server()->GetPropValue(junk, 4, PROPID_ACC_DESCRIPTION, &value, &has), S_OK);
    EXPECT_FALSE(has);
    descriptions.Detach();
    EXPECT_EQ(descriptions.Description(list, OBJID_CLIENT, 2), L"");
    DestroyWindow(other);
    DestroyWindow(list);
    CoUninitialize();
}

}  // namespace
