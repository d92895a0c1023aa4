#pragma once
// How the window runs an elevated step (ElevatedRunner): started through
// the consent prompt, hidden, and waited for with the window painted but
// closed to input and a wait cursor, its messages handled meanwhile.

#include <windows.h>

#include "inventory/ElevatedHandOff.h"

ElevatedRunner WindowElevation(HWND owner);
