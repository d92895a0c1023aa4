#pragma once
// Opening and creating registry keys into an owner. Every key the program
// opens outside UninstallRegistry's own walks goes through these, so the rule
// that a failed open leaves nothing to close lives in one place. Paths are
// UTF-16, so a key is opened by its exact name; callers with ANSI text
// widen it first.

#include <windows.h>

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

}  // namespace fw
