#include "inventory/SearchText.h"

#include <gtest/gtest.h>

TEST(SearchText, ContainsFoldsOnlyAsciiLetters) {
    struct Case {
        const wchar_t* text;
        const wchar_t* needle;
        bool found;
    } cases[] = {
        {L"Adobe Reader", L"adobe", true},
        {L"Adobe Reader", L"DER", true},
        {L"Adobe Reader", L"", true},
        {L"", L"a", false},
        {L"Adobe", L"Adobe Reader", false},
        {L"\u0141\u00f3d\u017a Maps", L"\u0141\u00f3d\u017a", true},
        {L"\u0141\u00f3d\u017a Maps", L"\u0142\u00f3d\u017a", false},  // only A-Z fold
        {L"\u30a2\u30c9\u30d3 \u30c4\u30fc\u30eb", L"\u30c4\u30fc", true},
        {L"[Z]", L"[z]", true},
        {L"@", L"`", false},  // neighbours of the letters stay apart
    };
    for (const Case& c : cases)
        EXPECT_EQ(search_text::Contains(c.text, c.needle), c.found) << c.text << L" / " << c.needle;
}

TEST(SearchText, AnyOfTheFourFieldsMatches) {
    const search_text::SearchFields fields{L"Reader", L"Acme Corp", L"{ABC-123}", L"C:\\Tools\\unins000.exe /x"};
    for (const wchar_t* needle : {L"read", L"acme", L"abc-1", L"UNINS000"})
        EXPECT_TRUE(search_text::Matches(fields, needle)) << needle;
    EXPECT_FALSE(search_text::Matches(fields, L"Zebra"));
}
