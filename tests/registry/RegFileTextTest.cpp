#include "registry/RegFileText.h"
#include "registry/RegistryText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace reg_file;

namespace {

std::string Ascii(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// The literal's characters as UTF-16LE, written zeros included, without
// the one the compiler adds.
template <std::size_t N>
std::vector<std::uint8_t> Utf16(const char16_t (&text)[N]) {
    std::vector<std::uint8_t> bytes(2 * (N - 1));
    for (std::size_t i = 0; i + 1 < N; ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(text[i]);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    return bytes;
}

}  // namespace

// The choice between the editor's readable forms and bytes of the value's
// own type, for what the round trip through the real editor (tested with
// the backups) does not show.
TEST(RegFileText, ReadableFormsOnlyWhereTheEditorStoresTheSameBytesBack) {
    const struct {
        Value value;
        const char* line;
    } cases[] = {
        {{u"A\"b\\c", kString, Utf16(u"\"C:\\x\"\0")}, R"("A\"b\\c"="\"C:\\x\"")"},
        {{u"Z", kString, Utf16(u"a\0b\0")}, R"("Z"=hex(1):61,00,00,00,62,00,00,00)"},
        {{u"N", kString, Utf16(u"a\nb\0")}, R"("N"=hex(1):61,00,0a,00,62,00,00,00)"},
        {{u"U", 0x12345, {7}}, R"("U"=hex(12345):07)"},
    };
    for (const auto& c : cases) EXPECT_EQ(Ascii(ValueText(c.value)), c.line);
    // Text outside the basic plane stays text; half a pair does not.
    EXPECT_EQ(ValueText({u"S", kString, Utf16(u"\u00e9\U0001F600\0")}), u"\"S\"=\"\u00e9\U0001F600\"");
    EXPECT_EQ(Ascii(ValueText({u"H", kString, {0x3D, 0xD8, 0, 0}})), R"("H"=hex(1):3d,d8,00,00)");
}

TEST(RegFileText, NamesWithLineBreaksOrBrokenSurrogatesCannotBeWritten) {
    EXPECT_TRUE(CanWriteName(u"Caf\u00e9 \"quoted\" [x] \\ tab\there \U0001F600"));
    EXPECT_FALSE(CanWriteName(u"line\nbreak"));
    EXPECT_FALSE(CanWriteName(u"carriage\rreturn"));
    EXPECT_FALSE(CanWriteName(std::u16string(1, char16_t{0xD83D})));
    EXPECT_FALSE(CanWriteName(std::u16string(1, char16_t{0xDE00}) + u"x"));
}

TEST(RegistryText, In32BitViewPutsWow6432NodeAfterSoftwareOnly) {
    using registry_text::In32BitView;
    EXPECT_EQ(In32BitView(L"Software\\Microsoft\\X"), L"Software\\Wow6432Node\\Microsoft\\X");
    EXPECT_EQ(In32BitView(L"SOFTWARE"), L"SOFTWARE\\Wow6432Node");
    EXPECT_EQ(In32BitView(L"System\\CurrentControlSet"), L"System\\CurrentControlSet");
    EXPECT_EQ(In32BitView(L"SoftwareX\\Y"), L"SoftwareX\\Y");
}
