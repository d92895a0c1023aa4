#include "app/ScaledArt.h"

#include <iterator>

#include "resource.h"

namespace {

struct Scale {
    int percent;
    int splash;
    const wchar_t* listPicture;  // the 100 % one keeps its first name
};
constexpr Scale kScales[] = {
    {100, IDB_SPLASH_100, L"centerimage.bmp"},
    {125, IDB_SPLASH_125, L"centerimage-125.bmp"},
    {150, IDB_SPLASH_150, L"centerimage-150.bmp"},
    {200, IDB_SPLASH_200, L"centerimage-200.bmp"},
};

const Scale& ScaleFor(unsigned dpi) {
    for (const Scale& scale : kScales) {
        // 96 DPI is 100 %
        if (dpi * 100 <= static_cast<unsigned>(scale.percent) * 96) return scale;
    }
    return *std::prev(std::end(kScales));
}

}  // namespace

int ScaledArt::Percent(unsigned dpi) { return ScaleFor(dpi).percent; }

int ScaledArt::SplashBitmap(unsigned dpi) { return ScaleFor(dpi).splash; }

const wchar_t* ScaledArt::ListPicture(unsigned dpi) { return ScaleFor(dpi).listPicture; }
