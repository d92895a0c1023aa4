#pragma once
// The window's look, light or dark, as Windows asks apps to be
// (HKCU\...\Themes\Personalize, AppsUseLightTheme) unless high contrast is
// on (theme::LookOf). It owns the dark look's brushes and dresses every
// dialog of the program (fw::DialogLook): its title bar through DWM, its
// controls' themes and the WM_CTLCOLOR* answers. dwmapi.dll and uxtheme.dll
// are looked up at run time: a Windows (or Wine) without them keeps its
// own frames and themes, nothing else changes.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "app/ThemePalette.h"
#include "framework/DialogLook.h"
#include "framework/UniqueHandle.h"

class WindowTheme final : public fw::DialogLook {
public:
    WindowTheme();  // reads the setting

    theme::Look Look() const { return look_; }
    bool Dark() const { return look_ == theme::Look::Dark; }

    // The user's AppsUseLightTheme (none when missing or no DWORD) and
    // whether high contrast is on, as the system says now.
    static std::optional<std::uint32_t> AppsUseLightTheme();
    static bool HighContrast();

    void Renew() override;
    void Dress(HWND dialog) const override;
    bool ControlColor(UINT message, HDC dc, HWND control, HBRUSH& brush) const override;

private:
    theme::Look look_;
    fw::Brush window_;
    fw::Brush edit_;
};
