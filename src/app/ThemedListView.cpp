#include "app/ThemedListView.h"

#include "app/DarkHeader.h"
#include "app/WindowTheme.h"
#include "framework/DialogLook.h"

LRESULT ThemedListView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        const auto* theme = dynamic_cast<const WindowTheme*>(fw::CurrentDialogLook());
        if (header.code == NM_CUSTOMDRAW && header.hwndFrom == Header() && theme && theme->Dark())
            return dark_header::CustomDraw(header.hwndFrom, reinterpret_cast<NMCUSTOMDRAW&>(header));
    }
    return DefaultProc(message, wParam, lParam);
}
