#pragma once
// Opening and creating registry keys into an owner. Every key the program
// opens goes through these (all but the upgrade's read of where its own copy
// is installed, InstalledCopy), so the rule that a failed open leaves nothing
// to close lives in one place, and so does the one view of what each open
// asks for. Paths are UTF-16, so a key is opened by its exact name; callers
// with ANSI text widen it first.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/UniqueHandle.h"

namespace fw {

// The key opened with `access` (which may carry a KEY_WOW64_* view), or an
// empty owner; `result`, when given, receives the call's error code.
RegKey OpenRegKey(HKEY root, const std::wstring& path, REGSAM access, LONG* result = nullptr);

// The key created (or opened, when it is there) as a non-volatile key.
RegKey CreateRegKey(HKEY root, const std::wstring& path, REGSAM access, LONG* result = nullptr);

// A key name in one letter case, so names compare as the registry compares
// them: ignoring case.
std::wstring FoldedKeyName(std::wstring name);

// Test aid: Wine grants every access asked for, so what a standard user may
// not open shows only in what the call asks. The observer hears of every
// open and create above before the call: the root or parent key, the path
// below it, the access with its view flag, and whether the key may be made.
// It runs on the thread that opens (a list fill opens on two at once), so it
// must take calls from several; set or clear it only while no other thread
// opens keys. The program sets none; unset, it costs one test per open.
using RegistryOpenObserver = std::function<void(HKEY base, const std::wstring& path, REGSAM access, bool create)>;
void SetRegistryOpenObserver(RegistryOpenObserver observer);

}  // namespace fw
