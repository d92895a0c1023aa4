#pragma once
// The window's colours and the rule for which look it takes. Pure: no
// <windows.h>, so the rule and the colours' contrast are tested natively.
// A colour is laid out as a COLORREF (0x00BBGGRR).

#include <cstdint>
#include <optional>

namespace theme {

using Color = std::uint32_t;

constexpr Color Rgb(unsigned red, unsigned green, unsigned blue) {
    return static_cast<Color>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}

// Light draws in the system's colours (so also high contrast), Dark in the
// palette's.
enum class Look { Light, Dark };

// Dark exactly when the user asked apps to be dark (AppsUseLightTheme is
// a DWORD 0; missing or any other value is light) and high contrast is
// off: high contrast's own colours always win.
Look LookOf(std::optional<std::uint32_t> appsUseLightTheme, bool highContrast);

// The list's red rows and ruling lines, which the program colours in
// both looks.
struct RowColors {
    Color phantomText;
    Color phantomBackground;
    Color selectedPhantomText;
    Color selectedPhantomBackground;
    Color ruling;
};
const RowColors& RowColorsOf(Look look);

// What the dark look draws in place of the system's colours, which the
// light look keeps.
struct DarkColors {
    Color window;  // dialog backgrounds
    Color text;    // static texts and group captions
    Color listBackground;
    Color listText;
    Color selectedRow;  // a selected ordinary row, focused or not
    Color selectedRowText;
    Color header;
    Color headerText;
    Color headerLine;  // between header items and under the header
    Color edit;        // search box, combo box and their lists
    Color editText;
    Color buttonFace;
    Color buttonText;
    Color disabledText;
    Color buttonLight;  // the hover and press borders
    Color buttonShadow;
    Color frame;  // the frame of the button Enter presses
};

// The light red rows are the ones the program always had.
inline constexpr RowColors kLightRows{
    .phantomText = Rgb(0, 0, 0),
    .phantomBackground = Rgb(255, 180, 180),
    .selectedPhantomText = Rgb(255, 255, 255),
    .selectedPhantomBackground = Rgb(150, 0, 0),
    .ruling = Rgb(225, 225, 225),
};

// Dark red rows stay red, dark enough for light text; a selected one is
// brighter, so it still stands out from the others.
inline constexpr RowColors kDarkRows{
    .phantomText = Rgb(255, 214, 214),
    .phantomBackground = Rgb(94, 30, 34),
    .selectedPhantomText = Rgb(255, 255, 255),
    .selectedPhantomBackground = Rgb(168, 24, 32),
    .ruling = Rgb(52, 52, 52),
};

// Near Windows' own dark look.
inline constexpr DarkColors kDark{
    .window = Rgb(32, 32, 32),
    .text = Rgb(235, 235, 235),
    .listBackground = Rgb(25, 25, 25),
    .listText = Rgb(235, 235, 235),
    .selectedRow = Rgb(0, 84, 153),
    .selectedRowText = Rgb(255, 255, 255),
    .header = Rgb(43, 43, 43),
    .headerText = Rgb(222, 222, 222),
    .headerLine = Rgb(77, 77, 77),
    .edit = Rgb(45, 45, 45),
    .editText = Rgb(235, 235, 235),
    .buttonFace = Rgb(32, 32, 32),
    .buttonText = Rgb(235, 235, 235),
    .disabledText = Rgb(150, 150, 150),
    .buttonLight = Rgb(110, 110, 110),
    .buttonShadow = Rgb(12, 12, 12),
    .frame = Rgb(200, 200, 200),
};
const DarkColors& Dark();

}  // namespace theme
