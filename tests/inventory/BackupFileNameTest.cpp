#include "inventory/BackupFileName.h"

#include <gtest/gtest.h>

#include <string>

TEST(BackupFileName, TellsWhenAndWhichKeyInAFormEveryFileSystemTakes) {
    const auto ascii = [](const std::u16string& text) { return std::string(text.begin(), text.end()); };
    const BackupTime when{2026, 3, 7, 9, 5, 1};
    EXPECT_EQ(ascii(BackupFileName(when, u"{6F1A-22}")), "2026-03-07 09-05-01 {6F1A-22}.reg");
    EXPECT_EQ(ascii(BackupFileName(when, u"Tool", 17)), "2026-03-07 09-05-01 Tool (17).reg");
    EXPECT_EQ(ascii(BackupFileName(when, u"a\\b/c:d*e?f\"g<h>i|j\tk. .")), "2026-03-07 09-05-01 a_b_c_d_e_f_g_h_i_j_k.reg");
    EXPECT_EQ(ascii(BackupFileName(when, u"...")), "2026-03-07 09-05-01 _.reg");

    EXPECT_EQ(FileSafeKeyName(std::u16string(300, u'k')).size(), kMaxKeyPart);
    // Cut between the halves of a pair: the lone half goes too.
    const std::u16string pairs = std::u16string(kMaxKeyPart - 1, u'k') + u"\U0001F600";
    EXPECT_EQ(FileSafeKeyName(pairs), std::u16string(kMaxKeyPart - 1, u'k'));
}
