// The Properties view's text: which lines an entry gets, sizes as Explorer
// writes them, install dates good and malformed, and the red row's reason.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/EntryProperties.h"

namespace {

// A locale's date, told apart from the stored text.
std::wstring IsoDate(int year, int month, int day) {
    wchar_t text[16];
    swprintf(text, 16, L"%04d-%02d-%02d", year, month, day);
    return text;
}

TEST(EntryProperties, SizesAreCutToThreeDigitsInTheUnitUnderAThousand) {
    const struct {
        std::uint32_t kb;
        const wchar_t* text;
    } cases[] = {
        {1, L"1.00 KB"},        {9, L"9.00 KB"},         {12, L"12.0 KB"},
        {999, L"999 KB"},       {1000, L"0.97 MB"},      {1023, L"0.99 MB"},
        {1024, L"1.00 MB"},     {12595, L"12.2 MB"},     {12698, L"12.4 MB"},
        {102400, L"100 MB"},    {1048575, L"0.99 GB"},   {1572864, L"1.50 GB"},
        {4294967295u, L"3.99 TB"},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeText(c.kb), c.text) << c.kb;
}

TEST(EntryProperties, InstallDatesParseOnlyAsRealDays) {
    const struct {
        const wchar_t* text;
        std::optional<CalendarDate> date;
    } cases[] = {
        {L"20261208", CalendarDate{2026, 12, 8}},
        {L"20240229", CalendarDate{2024, 2, 29}},
        {L"20000229", CalendarDate{2000, 2, 29}},
        {L"19000229", std::nullopt},  // no leap year
        {L"20230229", std::nullopt},
        {L"20261301", std::nullopt},
        {L"20260431", std::nullopt},
        {L"20260000", std::nullopt},
        {L"2026-12-08", std::nullopt},
        {L"2026128", std::nullopt},
        {L"2026120８", std::nullopt},  // a full-width digit
        {L"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInstallDate(c.text), c.date) << testing::PrintToString(std::wstring(c.text));
}

TEST(EntryProperties, LinesForEachKindOfEntry) {
    EntryFacts plain;
    plain.displayName = L"Инструмент 工具";
    plain.listWords = L"This user's programs";
    plain.keyName = L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
    plain.uninstallCommand = L"\"C:\\Tool\\unins000.exe\"";

    EntryFacts full = plain;
    full.publisher = L"Acme";
    full.version = L"4.2";
    full.installDate = L"20261208";
    full.sizeKb = 12698;
    full.installLocation = L"C:\\Tool";
    full.quietUninstallCommand = L"\"C:\\Tool\\unins000.exe\" /SILENT";

    EntryFacts installer = plain;
    installer.uninstallCommand = L"MsiExec.exe /X{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}";
    installer.productCode = L"{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}";
    installer.installDate = L"12/8/2026";  // not YYYYMMDD: shown as written
    installer.judgement = EntryFacts::Judgement::Missing;
    installer.reason = L"Windows Installer does not know the product {5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}.";

    const std::vector<PropertyLine> head{
        {L"Name", plain.displayName}, {L"List", plain.listWords}, {L"Key", plain.keyName}};
    const auto with = [&head](std::vector<PropertyLine> more) {
        std::vector<PropertyLine> lines = head;
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    };
    const struct {
        const char* what;
        EntryFacts facts;
        std::vector<PropertyLine> lines;
    } cases[] = {
        {"empty fields left out", plain, with({{L"Uninstall command", plain.uninstallCommand}})},
        {"every field",
         full,
         with({{L"Publisher", L"Acme"},
               {L"Version", L"4.2"},
               {L"Installed on", L"2026-12-08"},
               {L"Size", L"12.4 MB"},
               {L"Install folder", L"C:\\Tool"},
               {L"Uninstall command", full.uninstallCommand},
               {L"Quiet uninstall command", full.quietUninstallCommand}})},
        {"Windows Installer entry",
         installer,
         with({{L"Installed on", L"12/8/2026"},
               {L"Uninstall command", installer.uninstallCommand},
               {L"Product code", installer.productCode}})},
    };
    for (const auto& c : cases) EXPECT_EQ(EntryProperties(c.facts, &IsoDate), c.lines) << c.what;
}

TEST(EntryProperties, TheJudgementAndTheRowsReasonInWords) {
    using Judgement = EntryFacts::Judgement;
    const std::wstring missing = L"The uninstaller is missing: C:\\Gone\\unins000.exe";
    const struct {
        Judgement judgement;
        std::wstring status;
    } cases[] = {
        {Judgement::Missing, missing},
        {Judgement::Found, L"Its uninstaller was found."},
        {Judgement::Assumed, L"Its uninstaller cannot be checked here and is assumed present."},
        {Judgement::ProductKnown, L"Windows Installer knows its product."},
    };
    for (const auto& c : cases) {
        EntryFacts facts;
        facts.judgement = c.judgement;
        facts.reason = c.judgement == Judgement::Missing ? missing : L"";
        EXPECT_EQ(JudgementText(facts), c.status);
    }
    EXPECT_EQ(RowReasonText(true, missing), L"Phantom entry: " + missing);
    EXPECT_EQ(RowReasonText(true, L""), L"Phantom entry");
    EXPECT_EQ(RowReasonText(false, missing), L"");
}

}  // namespace
