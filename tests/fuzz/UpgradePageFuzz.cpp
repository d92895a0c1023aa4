// The upgrade page as the fetcher hands it over: lines, each with its end.
#include "FuzzInput.h"
#include "net/UpgradePage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines =
        fuzz::Split(std::string(reinterpret_cast<const char*>(data), size), '\n');
    for (std::string& line : lines) {
        line += '\n';
        ReadVersionNumber(line);
    }
    UpgradePage page;
    ParseUpgradePage(lines, page);
    ShownDescription(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
