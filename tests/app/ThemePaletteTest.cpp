// The window's colours: which look it takes, and that every text of
// either look reads on its background.

#include "app/ThemePalette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

// WCAG 2's relative luminance of an sRGB colour.
double Luminance(theme::Color color) {
    const auto channel = [](unsigned value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color & 0xFF) + 0.7152 * channel(color >> 8 & 0xFF) + 0.0722 * channel(color >> 16 & 0xFF);
}

double Contrast(theme::Color a, theme::Color b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(ThemePalette, EveryTextReadsOnItsBackground) {
    using theme::Look;
    const theme::RowColors& light = theme::RowColorsOf(Look::Light);
    const theme::RowColors& dark = theme::RowColorsOf(Look::Dark);
    const theme::DarkColors& d = theme::Dark();
    struct Case {
        const char* what;
        theme::Color text, background;
    };
    const Case cases[] = {
        {"light red row", light.phantomText, light.phantomBackground},
        {"light selected red row", light.selectedPhantomText, light.selectedPhantomBackground},
        {"dark red row", dark.phantomText, dark.phantomBackground},
        {"dark selected red row", dark.selectedPhantomText, dark.selectedPhantomBackground},
        {"dark row", d.listText, d.listBackground},
        {"dark selected row", d.selectedRowText, d.selectedRow},
        {"dark static text", d.text, d.window},
        {"dark header", d.headerText, d.header},
        {"dark search box", d.editText, d.edit},
        {"dark button", d.buttonText, d.buttonFace},
        {"dark grey button", d.disabledText, d.buttonFace},
    };
    for (const Case& c : cases) EXPECT_GE(Contrast(c.text, c.background), 4.5) << c.what;
    // The formula itself, on the extremes.
    EXPECT_NEAR(Contrast(theme::Rgb(0, 0, 0), theme::Rgb(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(Contrast(d.text, d.text), 1.0, 1e-9);
}

// Red rows are red in both looks, selected or not, and nothing else is.
TEST(ThemePalette, RedRowsAreRedAndOtherRowsAreNot) {
    const auto red = [](theme::Color color) {
        const int r = color & 0xFF, g = color >> 8 & 0xFF, b = color >> 16 & 0xFF;
        return r >= g + 60 && r >= b + 60;
    };
    const theme::RowColors& light = theme::RowColorsOf(theme::Look::Light);
    const theme::RowColors& dark = theme::RowColorsOf(theme::Look::Dark);
    const theme::DarkColors& d = theme::Dark();
    struct Case {
        const char* what;
        theme::Color background;
        bool red;
    };
    const Case cases[] = {
        {"light red row", light.phantomBackground, true},
        {"light selected red row", light.selectedPhantomBackground, true},
        {"dark red row", dark.phantomBackground, true},
        {"dark selected red row", dark.selectedPhantomBackground, true},
        {"dark row", d.listBackground, false},
        {"dark selected row", d.selectedRow, false},
    };
    for (const Case& c : cases) EXPECT_EQ(red(c.background), c.red) << c.what;
    // A selected red row is told from the others by more than its hue.
    EXPECT_GE(Contrast(dark.phantomBackground, dark.selectedPhantomBackground), 1.3);
    EXPECT_GE(Contrast(dark.ruling, d.listBackground), 1.2);
}

TEST(ThemePalette, DarkOnlyWhenAskedAndHighContrastIsOff) {
    using theme::Look;
    struct Case {
        std::optional<std::uint32_t> appsUseLightTheme;
        bool highContrast;
        Look look;
    };
    const Case cases[] = {
        {0u, false, Look::Dark},
        {0u, true, Look::Light},
        {1u, false, Look::Light},
        {1u, true, Look::Light},
        {2u, false, Look::Light},
        {std::nullopt, false, Look::Light},
        {std::nullopt, true, Look::Light},
    };
    for (const Case& c : cases)
        EXPECT_EQ(theme::LookOf(c.appsUseLightTheme, c.highContrast), c.look)
            << (c.appsUseLightTheme ? static_cast<int>(*c.appsUseLightTheme) : -1) << " " << c.highContrast;
}

}  // namespace
