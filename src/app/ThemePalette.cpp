#include "app/ThemePalette.h"

namespace theme {

Look LookOf(std::optional<std::uint32_t> appsUseLightTheme, bool highContrast) {
    if (highContrast) return Look::Light;
    return appsUseLightTheme && *appsUseLightTheme == 0 ? Look::Dark : Look::Light;
}

const RowColors& RowColorsOf(Look look) { return look == Look::Dark ? kDarkRows : kLightRows; }

const DarkColors& Dark() { return kDark; }

}  // namespace theme
