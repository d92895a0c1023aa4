#include "app/ThemedListView.h"

#include "app/DarkHeader.h"
#include "app/WindowTheme.h"
#include "framework/DialogLook.h"

LRESULT ThemedListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.code == NM_CUSTOMDRAW && header.hwndFrom == Header() && DrawsDark())
            return dark_header::CustomDraw(header.hwndFrom, reinterpret_cast<NMCUSTOMDRAW&>(header));
    }
    return DefaultProc(message, wParam, lParam);
}

bool ThemedListView::DrawsDark() const {
    const auto* theme = dynamic_cast<const WindowTheme*>(fw::CurrentDialogLook());
    return theme && theme->Dark();
}
