#pragma once
// The maker's signed statement of an upgrade: what it is (product,
// version, architecture), the setup's size and SHA-256, and the
// description the question shows. The page carries it as one line of
// blank-separated fields after a format tag:
//
//   zaltrow-upgrade product=Zaltrow version=1.3 architecture=i686
//     size=612345 sha256=<64 hex digits> description=<base64 of UTF-8>
//
// (one line on the page), with its signature on its own line. Pure text
// rules, no platform calls; checking the signature is StatementCheck's.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr std::string_view kStatementTag = "zaltrow-upgrade";

struct UpgradeStatement {
    std::string product;
    std::string version;       // dotted integers, as written
    std::string architecture;  // "i686" or "x86_64": the build it is for
    std::uint64_t size = 0;    // the setup's bytes
    std::string sha256;        // the setup's digest, 64 lower-case hex digits
    std::string description;   // UTF-8
};

// The statement a line states, or none when it is not one: the tag first,
// then name=value fields separated by single blanks. product, version,
// architecture, size, sha256 and description must each be there exactly
// once (only the description may be empty); other names are passed over,
// so a later format can add fields.
std::optional<UpgradeStatement> ParseUpgradeStatement(std::string_view line);

// "1.10" as {1, 10}: dotted decimal fields of at most 9 digits each. None
// for anything else (an empty field, a sign, a letter, "1.3 beta").
std::optional<std::vector<std::uint32_t>> ParseDottedVersion(std::string_view text);

// Field by field, a missing field counting as 0: 1.10 is above 1.9, and
// 1.2 equals 1.2.0. Negative, zero or positive, as a is below, equal to or
// above b.
int CompareVersions(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

// Whether a version as the registry holds it (UTF-16) is `version` as
// dotted numbers: "1.3.0" is 1.3, "1.10" is not 1.1. False when either is
// not a dotted version.
bool SameVersion(std::wstring_view registered, std::string_view version);
