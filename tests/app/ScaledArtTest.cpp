// The pictures at every display scale: each icon the program loads has an
// image drawn for every size the scales ask for, and the splash shows the
// bitmap drawn for its DPI at that bitmap's own size.

#include "app/ScaledArt.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/SplashWindow.h"
#include "framework/Dpi.h"
#include "resource.h"

namespace {

HINSTANCE Program() { return GetModuleHandleW(nullptr); }

// RT_ICON and RT_GROUP_ICON, whose macros are ANSI in this build.
const wchar_t* const kIconType = MAKEINTRESOURCEW(3);
const wchar_t* const kGroupType = MAKEINTRESOURCEW(14);

// The sizes a group's images are drawn at, from the group's directory and
// each image's own header; 0 for an image whose header disagrees.
std::set<int> IconSizes(const wchar_t* group) {
#pragma pack(push, 2)
    struct Entry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    std::set<int> sizes;
    HRSRC found = FindResourceW(Program(), group, kGroupType);
    const auto* head = found ? static_cast<const WORD*>(LockResource(LoadResource(Program(), found))) : nullptr;
    if (!head) return sizes;
    const auto* entries = reinterpret_cast<const Entry*>(head + 3);
    for (WORD i = 0; i < head[2]; ++i) {
        const int size = entries[i].width ? entries[i].width : 256;
        HRSRC image = FindResourceW(Program(), MAKEINTRESOURCEW(entries[i].id), kIconType);
        const auto* header = image ? static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Program(), image)))
                                   : nullptr;
        const bool drawn = header && header->biWidth == size && header->biHeight == 2 * size && header->biBitCount == 32;
        sizes.insert(drawn ? size : 0);
    }
    return sizes;
}

TEST(ScaledArt, EveryIconHasAnImageDrawnForEverySizeOfEveryScale) {
    // Small icons at 100-200 % are 16, 20, 24 and 32; buttons and large
    // icons 32, 40, 48 and 64.
    const std::set<int> every{16, 20, 24, 32, 40, 48, 64};
    EXPECT_EQ(IconSizes(L"ZALTROW"), every) << "the program file's icon";
    for (const UINT id : {IDR_MAINFRAME, IDI_REFRESH_NORMAL, IDI_REFRESH_HOVER, IDI_REMOVE_NORMAL, IDI_REMOVE_HOVER,
                          IDI_PHANTOM, IDI_UPGRADE_NORMAL, IDI_UPGRADE_HOVER, IDI_HELP_NORMAL, IDI_HELP_HOVER, IDI_QUIT,
                          IDI_DEFAULT_PROGRAM, IDI_UNINSTALL}) {
        EXPECT_EQ(IconSizes(MAKEINTRESOURCEW(id)), every) << "icon " << id;
    }
}

TEST(ScaledArt, ADpiShowsThePicturesOfTheNearestScaleAtOrAboveIt) {
    const struct {
        unsigned dpi;
        int percent, splash;
        const wchar_t* listPicture;
    } cases[] = {
        {72, 100, IDB_SPLASH_100, L"centerimage.bmp"},      {96, 100, IDB_SPLASH_100, L"centerimage.bmp"},
        {97, 125, IDB_SPLASH_125, L"centerimage-125.bmp"},  {120, 125, IDB_SPLASH_125, L"centerimage-125.bmp"},
        {121, 150, IDB_SPLASH_150, L"centerimage-150.bmp"}, {144, 150, IDB_SPLASH_150, L"centerimage-150.bmp"},
        {168, 200, IDB_SPLASH_200, L"centerimage-200.bmp"}, {192, 200, IDB_SPLASH_200, L"centerimage-200.bmp"},
        {288, 200, IDB_SPLASH_200, L"centerimage-200.bmp"},  // beyond the largest: the largest
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaledArt::Percent(c.dpi), c.percent) << c.dpi;
        EXPECT_EQ(ScaledArt::SplashBitmap(c.dpi), c.splash) << c.dpi;
        EXPECT_EQ(std::wstring(ScaledArt::ListPicture(c.dpi)), c.listPicture) << c.dpi;
    }
}

TEST(ScaledArt, SplashWindowIsExactlyItsScalesBitmap) {
    fw::Modeless<SplashWindow> splash;
    ASSERT_TRUE(splash.Start(nullptr));
    const UINT dpi = fw::WindowDpi(splash.Hwnd());
    fw::Bitmap expected(static_cast<HBITMAP>(
        LoadImageW(Program(), MAKEINTRESOURCEW(ScaledArt::SplashBitmap(dpi)), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP size{};
    ASSERT_TRUE(expected && GetObjectW(expected.get(), sizeof size, &size));
    // The size it was drawn for: 330 x 190 at 100 %, that times the scale.
    EXPECT_EQ(size.bmWidth, MulDiv(330, ScaledArt::Percent(dpi), 100)) << dpi;

    RECT client{}, picture{};
    HWND control = GetDlgItem(splash.Hwnd(), IDC_SPLASH_PICTURE);
    GetClientRect(splash.Hwnd(), &client);
    GetClientRect(control, &picture);
    EXPECT_EQ(client.right, size.bmWidth);
    EXPECT_EQ(client.bottom, size.bmHeight);
    EXPECT_TRUE(EqualRect(&client, &picture)) << "the picture fills the window";
    BITMAP shown{};
    auto* image = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_TRUE(image && GetObjectW(image, sizeof shown, &shown));
    EXPECT_EQ(shown.bmWidth, size.bmWidth);
    EXPECT_EQ(shown.bmHeight, size.bmHeight);
}

}  // namespace
