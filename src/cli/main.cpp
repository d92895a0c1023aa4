#include <string>
#include <vector>

#include "cli/ConsoleProgram.h"

int wmain(int argc, wchar_t** argv) {
    return ConsoleProgram().Run(std::vector<std::wstring>(argv + 1, argv + argc));
}
