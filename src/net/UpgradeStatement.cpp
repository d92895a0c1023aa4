#include "net/UpgradeStatement.h"

#include <array>

#include "net/Base64.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::uint64_t> ReadSize(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value == 0) return std::nullopt;
    return value;
}

std::optional<std::string> ReadDigest(std::string_view text) {
    if (text.size() != 64) return std::nullopt;
    std::string digest;
    for (char c : text) {
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        if (!IsDigit(c) && !(c >= 'a' && c <= 'f')) return std::nullopt;
        digest += c;
    }
    return digest;
}

}  // namespace

std::optional<std::vector<std::uint32_t>> ParseDottedVersion(std::string_view text) {
    std::vector<std::uint32_t> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = text.find('.', start);
        const std::string_view field = text.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (field.empty() || field.size() > 9) return std::nullopt;
        std::uint32_t value = 0;
        for (char c : field) {
            if (!IsDigit(c)) return std::nullopt;
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        }
        fields.push_back(value);
        if (dot == std::string_view::npos) return fields;
        start = dot + 1;
    }
}

int CompareVersions(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
        const std::uint32_t x = i < a.size() ? a[i] : 0;
        const std::uint32_t y = i < b.size() ? b[i] : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

bool SameVersion(std::wstring_view registered, std::string_view version) {
    std::string narrow;
    for (wchar_t c : registered) {
        if (c > 0x7F) return false;  // no digit or dot, so no version
        narrow.push_back(static_cast<char>(c));
    }
    const auto a = ParseDottedVersion(narrow), b = ParseDottedVersion(version);
    return a && b && CompareVersions(*a, *b) == 0;
}

std::optional<UpgradeStatement> ParseUpgradeStatement(std::string_view line) {
    std::vector<std::string_view> tokens;
    for (std::size_t start = 0;;) {
        const std::size_t blank = line.find(' ', start);
        tokens.push_back(line.substr(start, blank == std::string_view::npos ? blank : blank - start));
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    if (tokens.empty() || tokens[0] != kStatementTag) return std::nullopt;

    enum Field { Product, Version, Architecture, Size, Sha256, Description, FieldCount };
    constexpr std::array<std::string_view, FieldCount> names{"product", "version", "architecture",
                                                             "size",    "sha256",  "description"};
    std::array<std::optional<std::string_view>, FieldCount> values;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::size_t equals = tokens[i].find('=');
        if (equals == std::string_view::npos || equals == 0) return std::nullopt;
        const std::string_view name = tokens[i].substr(0, equals);
        for (std::size_t f = 0; f < FieldCount; ++f) {
            if (name != names[f]) continue;
            if (values[f]) return std::nullopt;  // said twice: which one counts?
            values[f] = tokens[i].substr(equals + 1);
        }
    }
    for (std::size_t f = 0; f < FieldCount; ++f)
        if (!values[f] || (values[f]->empty() && f != Description)) return std::nullopt;

    UpgradeStatement statement;
    statement.product = *values[Product];
    statement.version = *values[Version];
    statement.architecture = *values[Architecture];
    if (!ParseDottedVersion(statement.version)) return std::nullopt;
    const std::optional<std::uint64_t> size = ReadSize(*values[Size]);
    const std::optional<std::string> digest = ReadDigest(*values[Sha256]);
    const std::optional<std::vector<unsigned char>> description = DecodeBase64(*values[Description]);
    if (!size || !digest || !description) return std::nullopt;
    statement.size = *size;
    statement.sha256 = *digest;
    statement.description.assign(description->begin(), description->end());
    return statement;
}
