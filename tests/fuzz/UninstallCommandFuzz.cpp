// An entry's uninstall command split into program and arguments, and the
// other readings of the same command that are tested for a file.
#include "FuzzInput.h"
#include "inventory/UninstallCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring command = fuzz::WideOf(data, size);
    SplitUninstallString(command);
    CommandCandidates(command);
    CleanPath(command);
    const std::wstring lower = AsciiLowerCopy(command);
    fuzz::Check(lower.size() == command.size(), "lower case keeps the length");
    return 0;
}
