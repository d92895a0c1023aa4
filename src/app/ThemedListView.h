#pragma once
// A list whose header follows the program's look: in the dark look it is
// drawn dark (DarkHeader), since the system draws headers light whatever
// the list's colours. The look is asked at each paint (by default the
// dialogs' current one), so a change of the setting is followed.

#include "framework/ListView.h"

class ThemedListView : public fw::ListView {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Whether the header is drawn dark now.
    virtual bool DrawsDark() const;
};
