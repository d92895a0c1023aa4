#pragma once
// The window's way of showing a problem a fetch's worker meets: a message
// box on the worker's thread, with the exclamation icon, which the fetch
// waits out.

#include "net/FetchNotice.h"

FetchNotice MessageBoxNotice();
