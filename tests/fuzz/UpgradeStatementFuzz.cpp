// The signed statement line of the upgrade page, and the versions in it.
#include "FuzzInput.h"
#include "net/UpgradeStatement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    if (const auto statement = ParseUpgradeStatement(line)) {
        fuzz::Check(ParseDottedVersion(statement->version).has_value(), "a statement's version is a dotted version");
    }
    if (const auto version = ParseDottedVersion(line)) {
        fuzz::Check(CompareVersions(*version, *version) == 0, "a version equals itself");
        std::vector<std::uint32_t> longer = *version;
        longer.push_back(1);
        fuzz::Check(CompareVersions(*version, longer) < 0 && CompareVersions(longer, *version) > 0,
                    "a further non-zero part makes a version newer");
    }
    return 0;
}
