#pragma once
// The pictures drawn for each display scale (tools/make_artwork.py draws
// them at 100, 125, 150 and 200 %), and which of them a DPI shows. A
// per-monitor aware program is not stretched by Windows, so a picture is
// shown at its own size: the one drawn for the nearest scale at or above
// the DPI's, or the largest beyond 200 %.

class ScaledArt {
public:
    // The scale, in per cent, whose pictures `dpi` shows.
    static int Percent(unsigned dpi);
    // The splash bitmap's resource id for `dpi`.
    static int SplashBitmap(unsigned dpi);
    // The list's background picture for `dpi`, a file beside the program.
    static const wchar_t* ListPicture(unsigned dpi);
};
