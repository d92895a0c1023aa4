#include "registry/RegistryText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace registry_text;

TEST(RegistryText, SettingTextStopsAtZeroAndTreatsDashAsEmpty) {
    EXPECT_EQ(SettingText("abc\0def", 7), "abc");
    EXPECT_EQ(SettingText("abc", 3), "abc");  // no terminator: bounded by the size
    EXPECT_EQ(SettingText("-", 2), "");
    EXPECT_EQ(SettingText("-\0x", 3), "");
    EXPECT_EQ(SettingText("--", 3), "--");
    EXPECT_EQ(SettingText(" -", 3), " -");
    EXPECT_EQ(SettingText("", 0), "");
}

TEST(RegistryText, SettingNumberReadsLikeAtoi) {
    EXPECT_EQ(SettingNumber(""), -1);
    EXPECT_EQ(SettingNumber("1"), 1);
    EXPECT_EQ(SettingNumber("abc"), 0);
    EXPECT_EQ(SettingNumber("  42x"), 42);
    EXPECT_EQ(SettingNumber("-7"), -7);
    EXPECT_EQ(SettingNumber("+3"), 3);
    EXPECT_EQ(SettingNumber("0"), 0);
}

namespace {
std::vector<unsigned char> CacheRecord(const std::string& name, std::size_t trailingZeros = 2) {
    std::vector<unsigned char> record(28, 0xAB);  // a header that must be skipped
    for (char c : name) {
        record.push_back(static_cast<unsigned char>(c));
        record.push_back(0);
    }
    record.insert(record.end(), trailingZeros, 0);
    return record;
}
}  // namespace

TEST(RegistryText, CachedProgramNameFromRecords) {
    auto record = CacheRecord("C:\\Tool\\tool.exe", 40);
    EXPECT_EQ(CachedProgramName(record.data(), record.size()), u"C:\\Tool\\tool.exe");

    // Header only, or shorter: nothing.
    EXPECT_EQ(CachedProgramName(record.data(), 28), u"");
    EXPECT_EQ(CachedProgramName(record.data(), 10), u"");
    // One character past the header; half a character is none.
    EXPECT_EQ(CachedProgramName(record.data(), 30), u"C");
    EXPECT_EQ(CachedProgramName(record.data(), 31), u"C");

    // Non-zero characters after the name's terminator are taken too.
    auto garbage = CacheRecord("C:\\a.exe");
    garbage.push_back('Z');
    garbage.push_back(0);
    garbage.push_back(0x01);
    EXPECT_EQ(CachedProgramName(garbage.data(), garbage.size()), u"C:\\a.exeZ");

    // A name outside any code page comes out exactly.
    std::vector<unsigned char> polish(28, 0);
    for (char16_t c : std::u16string(u"C:\\\u017B\u00F3\u0142w\\u.exe")) polish.insert(polish.end(), {static_cast<unsigned char>(c & 0xFF), static_cast<unsigned char>(c >> 8)});
    EXPECT_EQ(CachedProgramName(polish.data(), polish.size()), u"C:\\\u017B\u00F3\u0142w\\u.exe");
}

TEST(RegistryText, EntryTextIsUtf16UpToItsFirstZeroAndTreatsDashAsEmpty) {
    const char16_t text[] = u"\u0416\u5DE5 x\0after";
    EXPECT_EQ(EntryText(text, sizeof text), u"\u0416\u5DE5 x");
    EXPECT_EQ(EntryText(text, 5), u"\u0416\u5DE5");  // no terminator: bounded by the size
    EXPECT_EQ(EntryText(u"-", 4), u"");
    EXPECT_EQ(EntryText(u"--", 6), u"--");
}
