#pragma once
// The test program's own file, and files built beside it (the real
// program's stand-ins: fake uninstallers, recorders, probes).

#include <string>

#include "framework/ModulePath.h"

inline std::string ThisProgram() { return fw::ModulePath(); }

// The folder of this program, with `relative` appended.
inline std::string BesideThisProgram(const std::string& relative) {
    std::string path = fw::ModulePath();
    path.erase(path.rfind('\\') + 1);
    return path.append(relative);
}
