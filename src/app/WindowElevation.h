#pragma once
// How the window runs an elevated step (ElevatedRunner): started through
// the consent prompt, hidden, and waited for with its messages handled
// meanwhile. The owner is painted but closed to input, with a wait cursor,
// unless it is a window that shows the step's progress and keeps its own
// buttons (`keepsInput`).

#include <windows.h>

#include "inventory/ElevatedHandOff.h"

ElevatedRunner WindowElevation(HWND owner, bool keepsInput = false);
