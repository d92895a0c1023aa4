#include <string>
#include <vector>

#include "cli/ConsoleProgram.h"
#include "framework/DllSearch.h"

int wmain(int argc, wchar_t** argv) {
    fw::SearchDllsInSystemFolderOnly();
    return ConsoleProgram().Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
