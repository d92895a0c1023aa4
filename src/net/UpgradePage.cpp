#include "net/UpgradePage.h"

#include <cctype>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr std::string_view kVersionMarker = "<!-- UPGRADE Version";
constexpr std::string_view kDescriptionMarker = "<!-- UPGRADE Description";
constexpr std::string_view kDescriptionEnd = "END UPGRADE Description";
constexpr std::string_view kLinkMarker = "<!-- UPGRADE Download Link";
// Longest first: each of the later ones contains the first.
constexpr std::string_view kStatementLinkMarker = "<!-- UPGRADE Statement Download Link";
constexpr std::string_view kStatementSignatureMarker = "<!-- UPGRADE Statement Signature";
constexpr std::string_view kStatementMarker = "<!-- UPGRADE Statement";

bool Has(const std::string& line, std::string_view marker) { return line.find(marker) != std::string::npos; }

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The page line that starts at entry `i`: its pieces up to the one that
// ends in a line feed (or the page's end). `i` is left on its last piece.
std::string WholeLine(const std::vector<std::string>& lines, std::size_t& i) {
    std::string line = lines[i];
    while ((line.empty() || line.back() != '\n') && i + 1 < lines.size()) {
        line += lines[++i];
        if (line.size() > kStatementLineChars) line.resize(kStatementLineChars);
    }
    return Trimmed(line);
}

// UTF-8: how many bytes the character starting with `c` has (1 for a byte
// that starts none).
std::size_t CharacterBytes(unsigned char c) {
    if (c >= 0xF0 && c < 0xF8) return 4;
    if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
    if (c >= 0xC0) return 2;
    return 1;
}
}  // namespace

float ReadVersionNumber(std::string_view line) {
    line = line.substr(0, kVersionLineChars);
    std::size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    const std::size_t start = i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < line.size() && IsDigit(line[i])) ++i, ++digits;
    if (i < line.size() && line[i] == '.') {
        ++i;
        while (i < line.size() && IsDigit(line[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when digits follow it.
    if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < line.size() && (line[j] == '+' || line[j] == '-')) ++j;
        if (j < line.size() && IsDigit(line[j])) {
            while (j < line.size() && IsDigit(line[j])) ++j;
            i = j;
        }
    }
    const std::string number(line.substr(start, i - start));
    return static_cast<float>(std::strtod(number.c_str(), nullptr));
}

void ParseUpgradePage(const std::vector<std::string>& lines, UpgradePage& page) {
    page.description.clear();
    page.statements.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (Has(line, kStatementLinkMarker) || Has(line, kStatementSignatureMarker)) {
            const bool link = Has(line, kStatementLinkMarker);
            if (++i >= lines.size()) return;
            const std::string value = WholeLine(lines, i);
            if (page.statements.empty()) continue;  // belongs to no statement
            (link ? page.statements.back().link : page.statements.back().signature) = value;
        } else if (Has(line, kStatementMarker)) {
            if (++i >= lines.size()) return;
            page.statements.push_back(SignedStatement{WholeLine(lines, i), {}, {}});
        } else if (Has(line, kVersionMarker)) {
            if (++i >= lines.size()) return;
            page.newVersion = ReadVersionNumber(lines[i]);
        } else if (Has(line, kDescriptionMarker)) {
            if (Has(line, kDescriptionEnd)) continue;
            for (++i; i < lines.size() && !Has(lines[i], kDescriptionEnd); ++i) page.description += lines[i];
            if (i >= lines.size()) return;
        } else if (Has(line, kLinkMarker)) {
            if (++i >= lines.size()) return;
            page.downloadLink = lines[i];
        }
    }
}

std::string ShownDescription(const std::string& description) {
    const auto width = [&](std::size_t at) {
        return std::min(CharacterBytes(static_cast<unsigned char>(description[at])), description.size() - at);
    };
    std::string shown;
    std::size_t lines = 0;
    std::size_t lineStart = 0;   // in `shown`
    std::size_t lastBlank = std::string::npos;  // in `shown`, on this line
    // The dots end the last line and count against its limit too: whole
    // characters make room for them.
    const auto cut = [&] {
        while (shown.size() > lineStart && shown.size() - lineStart + 3 > kShownLineChars) {
            while (shown.size() > lineStart + 1 && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80)
                shown.pop_back();
            shown.pop_back();
        }
        return shown + "...";
    };
    for (std::size_t at = 0; at < description.size();) {
        if (lines == kShownDescriptionLines) return shown + "...";
        const std::size_t step = width(at);
        if (description[at] == '\n') {
            shown += '\n';
            ++lines;
            lineStart = shown.size();
            lastBlank = std::string::npos;
            ++at;
            continue;
        }
        if (shown.size() - lineStart + step > kShownLineChars) {
            // Break after the last blank of the line, or right here.
            const std::size_t breakAt = lastBlank != std::string::npos ? lastBlank + 1 : shown.size();
            shown.insert(breakAt, 1, '\n');
            ++lines;
            lineStart = breakAt + 1;
            lastBlank = std::string::npos;
            if (lines == kShownDescriptionLines) {
                shown.erase(lineStart);  // what followed the break is not shown
                return shown + "...";
            }
        }
        if (shown.size() + step > kShownDescriptionChars) return cut();
        if (description[at] == ' ') lastBlank = shown.size();
        shown.append(description, at, step);
        at += step;
    }
    return shown;
}
