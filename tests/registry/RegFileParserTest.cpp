#include "registry/RegFileParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace reg_file;
using namespace std::string_literals;

namespace {

std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool terminated = true) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : std::u16string(text) + (terminated ? std::u16string(1, u'\0') : u"")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

}  // namespace

TEST(RegFileParser, ReadsBackEveryValueShapeFileTextWrites) {
    std::vector<std::uint8_t> blob(300);
    for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<std::uint8_t>(i * 7);
    const std::vector<Value> shapes = {
        {u"Text", kString, Utf16(u"plain \"quoted\" C:\\path\\")},
        {u"No terminator", kString, Utf16(u"open", false)},
        {u"Embedded zeros", kString, Utf16(std::u16string(u"a\0b\0", 4))},
        {u"Odd length", kString, {'o', 0, 'd'}},
        {u"Expand", kExpandString, Utf16(u"%ProgramFiles%\\App")},
        {u"Multi", kMultiString, Utf16(std::u16string(u"one\0tw\u00f6\0", 8))},
        {u"Dword", kDword, {0x78, 0x56, 0x34, 0x12}},
        {u"Qword", kQword, {1, 2, 3, 4, 5, 6, 7, 0x80}},
        {u"Binary over many lines", kBinary, blob},
        {u"Empty binary", kBinary, {}},
        {u"Own type", 0x12345, {7}},
        {u"", kString, Utf16(u"the default value")},
        {u"Quote \" back\\slash = [x]", kString, Utf16(u"[not a key]")},
        {u"Tab\there \u00e9 \U0001F600", kString, Utf16(u"\U0001F600 outside the basic plane")},
    };
    const std::vector<Key> keys = {
        {u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Shapes", shapes},
        {u"HKEY_CURRENT_USER\\Software\\Shapes\\Sub [1] \"q\" \U0001F600", {}},
    };
    const std::u16string text = FileText(keys);
    ASSERT_NE(text.find(u",\\\r\n  "), std::u16string::npos) << "long hex data continues on further lines";

    const ParseResult parsed = ParseFile(Utf16LeWithBom(text));
    ASSERT_TRUE(parsed.ok) << Ascii(parsed.reason);
    // The text stands for names, types and bytes one to one: the same text
    // again means the same keys.
    EXPECT_TRUE(FileText(parsed.keys) == text);
}

TEST(RegFileParser, RefusesDeletionsAndAnythingElseWithTheLine) {
    const std::u16string head =
        u"Windows Registry Editor Version 5.00\r\n\r\n; a comment\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n";
    const struct {
        std::u16string text;
        std::size_t line;
    } cases[] = {
        {u"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n", 1},
        {u"Windows Registry Editor Version 5.00\r\n\"A\"=\"x\"\r\n", 2},
        {head + u"[-HKEY_CURRENT_USER\\Software\\X]\r\n", 5},
        {head + u"\"A\"=-\r\n", 5},
        {head + u"[HKEY_CURRENT_USER\\Software\\Y\r\n", 5},
        {head + u"\"A\"=\"x\r\n", 5},
        {head + u"\"A\"=\"x\\n\"\r\n", 5},
        {head + u"\"A\"=\"x\0\"\r\n"s, 5},
        {head + u"\"A\"=dword:1234567\r\n", 5},
        {head + u"\"A\"=hex:01,2\r\n", 5},
        {head + u"\"A\"=hex:01,\\", 5},
        {head + u"\"A\"=hex(123456789):01\r\n", 5},
        {head + u"\"A\"=str:x\r\n", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Ascii(c.text));
        const ParseResult parsed = ParseText(c.text);
        EXPECT_FALSE(parsed.ok);
        EXPECT_TRUE(parsed.keys.empty());
        EXPECT_EQ(parsed.line, c.line);
        EXPECT_EQ(Ascii(parsed.reason).rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << Ascii(parsed.reason);
    }
    // The bytes must be UTF-16LE behind its byte-order mark.
    EXPECT_TRUE(ParseFile(Utf16LeWithBom(head)).ok);
    const std::string ascii = Ascii(head);
    EXPECT_FALSE(ParseFile(std::vector<std::uint8_t>(ascii.begin(), ascii.end())).ok);
    std::vector<std::uint8_t> odd = Utf16LeWithBom(head);
    odd.push_back('x');
    EXPECT_FALSE(ParseFile(odd).ok);
}
