#include "inventory/BackupFileName.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string Ascii(const std::u16string& text) {
    std::string ascii;
    for (char16_t c : text) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return ascii;
}
}  // namespace

TEST(BackupFileName, TellsWhenAndWhichKeyAndSortsByTime) {
    const BackupTime when{2026, 3, 7, 9, 5, 1};
    EXPECT_EQ(Ascii(BackupFileName(when, u"{6F1A-22}")), "2026-03-07 09-05-01 {6F1A-22}.reg");
    EXPECT_EQ(Ascii(BackupFileName(when, u"Tool", 2)), "2026-03-07 09-05-01 Tool (2).reg");
    EXPECT_EQ(Ascii(BackupFileName(when, u"Tool", 17)), "2026-03-07 09-05-01 Tool (17).reg");
    EXPECT_LT(BackupFileName({2026, 12, 8, 13, 0, 0}, u"Z"), BackupFileName({2026, 12, 8, 14, 0, 0}, u"A"));
}

TEST(BackupFileName, KeyNamesAreMadeSafeForFileNames) {
    const struct {
        std::u16string key;
        const char* safe;
    } cases[] = {
        {u"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {u"tab\there\nnewline", "tab_here_newline"},
        {u"Trailing. . ", "Trailing"},
        {u"...", "_"},
        {u"", "_"},
        {u"Caf\u00e9 (x86) [1]", "Caf? (x86) [1]"},
    };
    for (const auto& c : cases) EXPECT_EQ(Ascii(FileSafeKeyName(c.key)), c.safe) << c.safe;

    const std::u16string longName(300, u'k');
    EXPECT_EQ(FileSafeKeyName(longName).size(), kMaxKeyPart);
    // Cut between the halves of a pair: the lone half goes too.
    const std::u16string pairs = std::u16string(kMaxKeyPart - 1, u'k') + u"\U0001F600";
    EXPECT_EQ(FileSafeKeyName(pairs), std::u16string(kMaxKeyPart - 1, u'k'));
}
