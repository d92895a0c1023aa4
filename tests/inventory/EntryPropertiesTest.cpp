// The Properties view's text: sizes as Explorer writes them, install dates
// good and malformed, which lines each kind of entry gets, and the reasons.

#include <gtest/gtest.h>

#include "inventory/EntryProperties.h"

namespace {

TEST(EntryProperties, SizesAndDates) {
    const std::pair<std::uint32_t, const wchar_t*> sizes[] = {
        {1, L"1.00 KB"},   {12, L"12.0 KB"},  {999, L"999 KB"},       {1000, L"0.97 MB"},      {1024, L"1.00 MB"},
        {12595, L"12.2 MB"}, {102400, L"100 MB"}, {1048575, L"0.99 GB"}, {1572864, L"1.50 GB"}, {4294967295u, L"3.99 TB"},
    };
    for (const auto& [kb, text] : sizes) EXPECT_EQ(SizeText(kb), text) << kb;

    const std::pair<const wchar_t*, std::optional<CalendarDate>> dates[] = {
        {L"20261208", CalendarDate{2026, 12, 8}}, {L"20240229", CalendarDate{2024, 2, 29}},
        {L"20000229", CalendarDate{2000, 2, 29}}, {L"19000229", std::nullopt}, {L"20230229", std::nullopt},
        {L"20261301", std::nullopt}, {L"20260431", std::nullopt}, {L"20260000", std::nullopt},
        {L"2026-12-08", std::nullopt}, {L"2026128", std::nullopt}, {L"2026120８", std::nullopt}, {L"", std::nullopt},
    };
    for (const auto& [text, date] : dates) EXPECT_EQ(ParseInstallDate(text), date) << testing::PrintToString(std::wstring(text));
}

TEST(EntryProperties, LinesAndReasonsOfEachKindOfEntry) {
    using Judgement = EntryFacts::Judgement;
    EntryFacts plain{L"Инструмент", L"This user's programs", L"HKEY_CURRENT_USER\\...\\Uninstall\\Tool"};
    plain.uninstallCommand = L"C:\\Tool\\unins000.exe";
    EntryFacts full = plain;
    full.publisher = L"Acme";
    full.version = L"4.2";
    full.installDate = L"20261208";
    full.sizeKb = 12698;
    full.installLocation = L"C:\\Tool";
    full.quietUninstallCommand = L"C:\\Tool\\unins000.exe /SILENT";
    EntryFacts installer = plain;
    installer.productCode = L"{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}";
    installer.installDate = L"12/8/2026";  // no YYYYMMDD: shown as written
    installer.judgement = Judgement::Missing;
    installer.reason = L"Windows Installer does not know the product.";

    const std::vector<PropertyLine> head{{L"Name", L"Инструмент"}, {L"List", plain.listWords}, {L"Key", plain.keyName}};
    const auto with = [&head](std::vector<PropertyLine> more) {
        more.insert(more.begin(), head.begin(), head.end());
        return more;
    };
    const struct {
        EntryFacts facts;
        std::vector<PropertyLine> lines;
        std::wstring status;
    } cases[] = {
        {plain, with({{L"Uninstall command", plain.uninstallCommand}}), L"Its uninstaller was found."},
        {full,
         with({{L"Publisher", L"Acme"}, {L"Version", L"4.2"}, {L"Installed on", L"2026-12-8"}, {L"Size", L"12.4 MB"},
               {L"Install folder", L"C:\\Tool"}, {L"Uninstall command", plain.uninstallCommand},
               {L"Quiet uninstall command", full.quietUninstallCommand}}),
         L"Its uninstaller was found."},
        {installer,
         with({{L"Installed on", L"12/8/2026"}, {L"Uninstall command", plain.uninstallCommand},
               {L"Product code", installer.productCode}}),
         installer.reason},
    };
    const DateText date = [](int y, int m, int d) { return std::to_wstring(y) + L"-" + std::to_wstring(m) + L"-" + std::to_wstring(d); };
    for (const auto& c : cases) {
        EXPECT_EQ(EntryProperties(c.facts, date), c.lines) << c.status;
        EXPECT_EQ(JudgementText(c.facts), c.status);
    }
    full.judgement = Judgement::Assumed;
    EXPECT_EQ(JudgementText(full), L"Its uninstaller cannot be checked here and is assumed present.");
    full.judgement = Judgement::ProductKnown;
    EXPECT_EQ(JudgementText(full), L"Windows Installer knows its product.");

    EXPECT_EQ(RowReasonText(true, installer.reason), L"Phantom entry: " + installer.reason);
    EXPECT_EQ(RowReasonText(true, L""), L"Phantom entry");
    EXPECT_EQ(RowReasonText(false, installer.reason), L"");
}

}  // namespace
