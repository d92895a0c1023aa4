#pragma once
// A dialog's plain list whose header follows the program's look: in the
// dark look it is drawn dark (DarkHeader), since the system draws headers
// light whatever the list's colours. The look is asked at each paint, so a
// change of the setting while the dialog is open is followed.

#include "framework/ListView.h"

class ThemedListView : public fw::ListView {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
