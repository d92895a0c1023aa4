#pragma once
// The application's name: the program file's name without folder and
// extension. It is the WinINet agent text and the caption of the fetch's
// message boxes, so a renamed program names itself by its new name.

#include <string>

// The name part of a module path: after the last '\' or '/', before the
// last '.' of that part.
std::string ApplicationNameFromPath(const std::string& modulePath);

// ApplicationNameFromPath of the running program's file.
std::string ApplicationName();
