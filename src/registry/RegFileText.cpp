#include "registry/RegFileText.h"

#include <algorithm>

namespace reg_file {

namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";
// Hex data is broken after the byte that brings a line past this width,
// so continued lines stay within 80 columns as the editor's own do.
constexpr std::size_t kHexLineWidth = 76;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Text that survives the trip through the file's quoted form unchanged.
bool IsPlainText(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 || c == 0x7F) return false;
        if (IsHighSurrogate(c)) {
            if (i + 1 >= text.size() || !IsLowSurrogate(text[i + 1])) return false;
            ++i;
        } else if (IsLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

std::u16string Quoted(std::u16string_view text) {
    std::u16string quoted(1, u'"');
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') quoted.push_back(u'\\');
        quoted.push_back(c);
    }
    quoted.push_back(u'"');
    return quoted;
}

// The data of a REG_SZ value as the text the editor would store back as
// exactly these bytes: whole characters, one terminating zero, no other
// zero, nothing that needs escaping beyond quotes and backslashes.
bool AsPlainString(const std::vector<std::uint8_t>& data, std::u16string& text) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const std::size_t units = data.size() / 2;
    text.clear();
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t c = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (c == 0) {
            if (i + 1 != units) return false;
            return IsPlainText(text);
        }
        text.push_back(c);
    }
    return false;  // no terminating zero
}

std::u16string HexDigits(std::uint64_t number, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    std::u16string text(digits, u'0');
    for (int i = digits - 1; i >= 0; --i, number >>= 4) text[i] = kDigits[number & 0xF];
    return text;
}

std::u16string TypeLabel(std::uint32_t type) {
    if (type == kBinary) return u"hex:";
    std::u16string digits = HexDigits(type, 8);
    digits.erase(0, std::min(digits.find_first_not_of(u'0'), std::size_t{7}));
    return u"hex(" + digits + u"):";
}

void AppendHex(std::u16string& out, std::size_t lineStart, const std::vector<std::uint8_t>& data) {
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += HexDigits(data[i], 2);
        if (i + 1 == data.size()) break;
        out.push_back(u',');
        if (out.size() - lineStart > kHexLineWidth) {
            out += u"\\";
            out += kLineEnd;
            lineStart = out.size();
            out += u"  ";
        }
    }
}

}  // namespace

// A tab inside quotes is read back as itself; line breaks and other
// control characters are not.
bool CanWriteName(std::u16string_view name) {
    std::u16string withoutTabs(name);
    for (char16_t& c : withoutTabs) {
        if (c == u'\t') c = u' ';
    }
    return IsPlainText(withoutTabs);
}

std::u16string ValueText(const Value& value) {
    std::u16string line = value.name.empty() ? std::u16string(u"@") : Quoted(value.name);
    line.push_back(u'=');

    if (value.type == kString) {
        std::u16string text;
        if (AsPlainString(value.data, text)) return line + Quoted(text);
    }
    if (value.type == kDword && value.data.size() == 4) {
        const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                     (static_cast<std::uint32_t>(value.data[3]) << 24);
        return line + u"dword:" + HexDigits(number, 8);
    }
    line += TypeLabel(value.type);
    AppendHex(line, 0, value.data);
    return line;
}

std::u16string FileText(const std::vector<Key>& keys) {
    std::u16string text(kHeader);
    text += kLineEnd;
    text += kLineEnd;
    for (const Key& key : keys) {
        text += u"[" + key.name + u"]";
        text += kLineEnd;
        for (const Value& value : key.values) {
            text += ValueText(value);
            text += kLineEnd;
        }
        text += kLineEnd;
    }
    return text;
}

std::vector<std::uint8_t> Utf16LeWithBom(std::u16string_view text) {
    std::vector<std::uint8_t> bytes{0xFF, 0xFE};
    bytes.reserve(2 + 2 * text.size());
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

}  // namespace reg_file
