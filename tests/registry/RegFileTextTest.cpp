#include "registry/RegFileText.h"
#include "registry/RegistryText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace reg_file;

namespace {

// The test texts are ASCII apart from the cases that say otherwise.
std::string Ascii(const std::u16string& text) {
    std::string ascii;
    for (char16_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return ascii;
}

std::vector<std::uint8_t> Utf16(std::u16string_view text, bool terminated = true) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminated) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

struct LineCase {
    const char* what;
    Value value;
    const char* line;
};

}  // namespace

TEST(RegFileText, EachValueIsWrittenSoThatItsBytesComeBack) {
    const LineCase cases[] = {
        {"plain text", {u"DisplayName", kString, Utf16(u"Tool 1.0")}, R"("DisplayName"="Tool 1.0")"},
        {"quotes and backslashes escaped in name and data", {u"A\"b\\c", kString, Utf16(u"\"C:\\x\"")},
         R"("A\"b\\c"="\"C:\\x\"")"},
        {"default value", {u"", kString, Utf16(u"d")}, R"(@="d")"},
        {"a value named @ is not the default", {u"@", kString, Utf16(u"d")}, R"("@"="d")"},
        {"empty text with its terminator", {u"E", kString, Utf16(u"")}, R"("E"="")"},
        {"no data at all", {u"E", kString, {}}, R"("E"=hex(1):)"},
        {"odd length", {u"Odd", kString, {0x61, 0x00, 0x62}}, R"("Odd"=hex(1):61,00,62)"},
        {"no terminator", {u"T", kString, Utf16(u"ab", false)}, R"("T"=hex(1):61,00,62,00)"},
        {"embedded zero", {u"Z", kString, {0x61, 0, 0, 0, 0x62, 0, 0, 0}}, R"("Z"=hex(1):61,00,00,00,62,00,00,00)"},
        {"two terminators", {u"Z2", kString, {0x61, 0, 0, 0, 0, 0}}, R"("Z2"=hex(1):61,00,00,00,00,00)"},
        {"line break in text", {u"N", kString, Utf16(u"a\nb")}, R"("N"=hex(1):61,00,0a,00,62,00,00,00)"},
        {"expandable text always as hex", {u"X", kExpandString, Utf16(u"%A%")},
         R"("X"=hex(2):25,00,41,00,25,00,00,00)"},
        {"multi-string", {u"M", kMultiString, {0x61, 0, 0, 0, 0, 0}}, R"("M"=hex(7):61,00,00,00,00,00)"},
        {"dword", {u"D", kDword, {0x2A, 0x01, 0x00, 0x80}}, R"("D"=dword:8000012a)"},
        {"dword of the wrong size", {u"D3", kDword, {1, 2, 3}}, R"("D3"=hex(4):01,02,03)"},
        {"qword", {u"Q", kQword, {1, 2, 3, 4, 5, 6, 7, 8}}, R"("Q"=hex(b):01,02,03,04,05,06,07,08)"},
        {"binary", {u"B", kBinary, {0x00, 0xFF}}, R"("B"=hex:00,ff)"},
        {"none, empty", {u"N0", kNone, {}}, R"("N0"=hex(0):)"},
        {"none with data", {u"N1", kNone, {0xAB}}, R"("N1"=hex(0):ab)"},
        {"an unknown type", {u"U", 0x12345, {7}}, R"("U"=hex(12345):07)"},
    };
    for (const LineCase& c : cases) EXPECT_EQ(Ascii(ValueText(c.value)), c.line) << c.what;
}

TEST(RegFileText, CodePageCharactersStayTextInUtf16) {
    const std::u16string name = u"Caf\u00e9 \u20ac";
    EXPECT_EQ(ValueText({name, kString, Utf16(u"\u00fcber")}), u"\"Caf\u00e9 \u20ac\"=\"\u00fcber\"");
    // A character outside the basic plane is text; half of one is not.
    EXPECT_EQ(ValueText({u"S", kString, Utf16(u"\U0001F600")}), u"\"S\"=\"\U0001F600\"");
    EXPECT_EQ(Ascii(ValueText({u"H", kString, {0x3D, 0xD8, 0, 0}})), R"("H"=hex(1):3d,d8,00,00)");
}

TEST(RegFileText, LongHexDataContinuesOnIndentedLinesWithinEightyColumns) {
    std::vector<std::uint8_t> data(200);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i);
    const std::string text = Ascii(ValueText({u"SlowInfoCache", kBinary, data}));

    std::string digits;
    std::size_t start = 0;
    int lines = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        ++lines;
        EXPECT_LE(line.size(), 80u) << line;
        if (lines == 1) {
            ASSERT_EQ(line.rfind("\"SlowInfoCache\"=hex:", 0), 0u) << line;
            line.erase(0, 20);
        } else {
            ASSERT_EQ(line.rfind("  ", 0), 0u) << line;
            line.erase(0, 2);
        }
        const bool last = end == text.size();
        EXPECT_EQ(line.back() == '\\', !last) << line;
        if (!last) line.pop_back();
        digits += line;
        start = end + 2;
    }
    EXPECT_GT(lines, 2);
    std::string expected;
    for (std::size_t i = 0; i < data.size(); ++i) {
        char hex[4];
        snprintf(hex, sizeof hex, "%02x", static_cast<unsigned>(data[i]));
        expected += hex;
        if (i + 1 < data.size()) expected += ',';
    }
    EXPECT_EQ(digits, expected);
}

TEST(RegFileText, FileIsTheHeaderThenEachKeyWithItsValues) {
    const std::vector<Key> keys{
        {u"HKEY_LOCAL_MACHINE\\Software\\A", {{u"", kString, Utf16(u"x")}, {u"D", kDword, {1, 0, 0, 0}}}},
        {u"HKEY_LOCAL_MACHINE\\Software\\A\\Empty", {}},
    };
    EXPECT_EQ(Ascii(FileText(keys)),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n@=\"x\"\r\n\"D\"=dword:00000001\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\A\\Empty]\r\n\r\n");
    EXPECT_EQ(Utf16LeWithBom(u"W\u20ac"), (std::vector<std::uint8_t>{0xFF, 0xFE, 0x57, 0x00, 0xAC, 0x20}));
}

TEST(RegFileText, NamesWithControlCharactersOrBrokenSurrogatesCannotBeWritten) {
    EXPECT_TRUE(CanWriteName(u""));
    EXPECT_TRUE(CanWriteName(u"Caf\u00e9 \"quoted\" [x] \\"));
    EXPECT_TRUE(CanWriteName(u"\U0001F600"));
    EXPECT_FALSE(CanWriteName(u"line\nbreak"));
    EXPECT_TRUE(CanWriteName(u"tab\there"));
    EXPECT_FALSE(CanWriteName(u"carriage\rreturn"));
    EXPECT_FALSE(CanWriteName(std::u16string(1, char16_t{0xD83D})));
    EXPECT_FALSE(CanWriteName(std::u16string(1, char16_t{0xDE00}) + u"x"));
}

TEST(RegistryText, In32BitViewPutsWow6432NodeAfterSoftwareOnly) {
    using registry_text::In32BitView;
    EXPECT_EQ(In32BitView("Software\\Microsoft\\X"), "Software\\Wow6432Node\\Microsoft\\X");
    EXPECT_EQ(In32BitView("SOFTWARE\\Y"), "SOFTWARE\\Wow6432Node\\Y");
    EXPECT_EQ(In32BitView("Software"), "Software\\Wow6432Node");
    EXPECT_EQ(In32BitView("System\\CurrentControlSet"), "System\\CurrentControlSet");
    EXPECT_EQ(In32BitView("SoftwareX\\Y"), "SoftwareX\\Y");
}
