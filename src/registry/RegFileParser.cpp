#include "registry/RegFileParser.h"

#include <string>

namespace reg_file {

namespace {

std::u16string Number(std::size_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Exactly `digits` hex digits make `number`.
bool HexNumber(std::u16string_view text, std::size_t digits, std::uint64_t& number) {
    if (text.size() != digits) return false;
    number = 0;
    for (char16_t c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        number = number << 4 | static_cast<unsigned>(digit);
    }
    return true;
}

std::u16string_view TrimBlanks(std::u16string_view text) {
    while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
    return text;
}

class Parser {
public:
    explicit Parser(std::u16string_view text) {
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t end = text.find(u'\n', start);
            if (end == std::u16string_view::npos) end = text.size();
            std::u16string_view line = text.substr(start, end - start);
            if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
            lines_.push_back(line);
            start = end + 1;
        }
    }

    ParseResult Run() {
        if (lines_[0] != kHeader)
            return Fail(u"the file does not start with the header \"" + std::u16string(kHeader) + u"\"");
        for (index_ = 1; index_ < lines_.size(); ++index_) {
            const std::u16string_view line = lines_[index_];
            for (char16_t c : line) {
                if (c < 0x20 && c != u'\t') return Fail(u"a control character");
            }
            if (TrimBlanks(line).empty()) continue;
            if (line.front() == u';') {
                result_.comments.emplace_back(line.substr(1));
                continue;
            }
            if (line.front() == u'[') {
                if (!KeyLine(line)) return result_;
            } else if (!ValueLine(line)) {
                return result_;
            }
        }
        result_.ok = true;
        return std::move(result_);
    }

private:
    ParseResult Fail(const std::u16string& why) {
        result_ = {};
        result_.line = index_ + 1;
        result_.reason = u"line " + Number(result_.line) + u": " + why;
        return result_;
    }
    bool Refuse(const std::u16string& why) {
        Fail(why);
        return false;
    }

    bool KeyLine(std::u16string_view line) {
        if (line.size() > 1 && line[1] == u'-') return Refuse(u"a key deletion cannot be restored");
        if (line.size() < 3 || line.back() != u']') return Refuse(u"a key line must be [name]");
        result_.keys.push_back({std::u16string(line.substr(1, line.size() - 2)), {}});
        return true;
    }

    // A quoted string at the start of `text` with its escapes \\ and \";
    // `text` is left after the closing quote.
    bool Quoted(std::u16string_view& text, std::u16string& out) {
        out.clear();
        for (std::size_t i = 1; i < text.size(); ++i) {
            char16_t c = text[i];
            if (c == u'"') {
                text.remove_prefix(i + 1);
                return true;
            }
            if (c == u'\\') {
                if (++i == text.size() || (text[i] != u'\\' && text[i] != u'"'))
                    return Refuse(u"a backslash in quotes must escape \\ or \"");
                c = text[i];
            }
            out.push_back(c);
        }
        return Refuse(u"a quoted text is not closed");
    }

    bool ValueLine(std::u16string_view line) {
        if (result_.keys.empty()) return Refuse(u"a value before the first key");
        Value value;
        if (line.front() == u'@') {
            line.remove_prefix(1);
        } else if (line.front() != u'"' || !Quoted(line, value.name)) {
            return result_.reason.empty() ? Refuse(u"not a key, a value or a comment") : false;
        }
        if (line.empty() || line.front() != u'=') return Refuse(u"the value's name must be followed by =");
        line.remove_prefix(1);
        if (!Data(line, value)) return false;
        result_.keys.back().values.push_back(std::move(value));
        return true;
    }

    bool Data(std::u16string_view data, Value& value) {
        if (data == u"-") return Refuse(u"a value deletion cannot be restored");
        if (!data.empty() && data.front() == u'"') {
            std::u16string text;
            if (!Quoted(data, text)) return false;
            if (!data.empty()) return Refuse(u"text after the closing quote");
            value.type = kString;
            for (char16_t c : text + u'\0') {
                value.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
                value.data.push_back(static_cast<std::uint8_t>(c >> 8));
            }
            return true;
        }
        std::uint64_t number = 0;
        if (data.starts_with(u"dword:")) {
            if (!HexNumber(data.substr(6), 8, number)) return Refuse(u"dword: needs eight hex digits");
            value.type = kDword;
            for (int shift = 0; shift < 32; shift += 8)
                value.data.push_back(static_cast<std::uint8_t>(number >> shift));
            return true;
        }
        if (data.starts_with(u"hex:")) {
            value.type = kBinary;
            data.remove_prefix(4);
        } else if (data.starts_with(u"hex(")) {
            const std::size_t close = data.find(u"):");
            if (close == std::u16string_view::npos || close < 5 || close > 12 ||
                !HexNumber(data.substr(4, close - 4), close - 4, number))
                return Refuse(u"hex( needs a type of one to eight hex digits and ):");
            value.type = static_cast<std::uint32_t>(number);
            data.remove_prefix(close + 2);
        } else {
            return Refuse(u"unknown kind of data");
        }
        return HexBytes(data, value.data);
    }

    // Comma-separated pairs of hex digits; a line ending in a backslash
    // continues on the next.
    bool HexBytes(std::u16string_view data, std::vector<std::uint8_t>& bytes) {
        std::u16string all(data);
        while (!all.empty() && all.back() == u'\\') {
            all.pop_back();
            if (index_ + 1 == lines_.size()) return Refuse(u"the data breaks off at the end of the file");
            all += TrimBlanks(lines_[++index_]);
        }
        const std::u16string_view list = TrimBlanks(all);
        if (list.empty()) return true;
        for (std::size_t start = 0; start <= list.size();) {
            std::size_t end = list.find(u',', start);
            if (end == std::u16string_view::npos) end = list.size();
            std::uint64_t byte = 0;
            if (!HexNumber(TrimBlanks(list.substr(start, end - start)), 2, byte))
                return Refuse(u"hex data must be pairs of hex digits separated by commas");
            bytes.push_back(static_cast<std::uint8_t>(byte));
            start = end + 1;
        }
        return true;
    }

    std::vector<std::u16string_view> lines_;
    std::size_t index_ = 0;
    ParseResult result_;
};

}  // namespace

ParseResult ParseText(std::u16string_view text) { return Parser(text).Run(); }

ParseResult ParseFile(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE || bytes.size() % 2 != 0) {
        ParseResult refused;
        refused.line = 1;
        refused.reason = u"line 1: not UTF-16LE text with a byte-order mark";
        return refused;
    }
    std::u16string text;
    text.reserve(bytes.size() / 2 - 1);
    for (std::size_t i = 2; i < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    return ParseText(text);
}

}  // namespace reg_file
