#pragma once
// The list header in the dark look, drawn whole through its custom draw
// (sent to the list that owns it): the system draws headers in light
// colours whatever the list's, and under visual styles ignores the DC's.
// Items keep their texts, alignment and sort arrows; the room after the
// last item is filled too.

#include <windows.h>
#include <commctrl.h>

namespace dark_header {

// The answer to the header's NM_CUSTOMDRAW.
LRESULT CustomDraw(HWND header, NMCUSTOMDRAW& draw);

}  // namespace dark_header
