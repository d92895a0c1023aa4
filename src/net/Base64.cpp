#include "net/Base64.h"

namespace {

int Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::optional<std::vector<unsigned char>> DecodeBase64(std::string_view text) {
    std::vector<unsigned char> bytes;
    unsigned bits = 0;
    int held = 0;     // bits waiting in `bits`
    int symbols = 0;  // base64 symbols, padding included
    int padding = 0;
    for (char c : text) {
        if (IsSpace(c)) continue;
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        const int value = Value(c);
        if (value < 0 || padding > 0) return std::nullopt;  // nothing may follow padding
        bits = (bits << 6) | static_cast<unsigned>(value);
        held += 6;
        ++symbols;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<unsigned char>((bits >> held) & 0xFF));
        }
    }
    if (symbols % 4 != 0 || padding > 2) return std::nullopt;
    // Bits left over belong to no byte and must be zero, as an encoder writes them.
    if (held > 0 && (bits & ((1u << held) - 1)) != 0) return std::nullopt;
    return bytes;
}
