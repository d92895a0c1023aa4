// The Properties view's text: sizes as Explorer writes them, install dates
// good and malformed, which lines each kind of entry gets, and the reasons.

#include <gtest/gtest.h>

#include "inventory/EntryProperties.h"

namespace {

TEST(EntryProperties, SizesAndDates) {
    const std::pair<std::uint32_t, const wchar_t*> sizes[] = {
        {1, L"1.00 KB"}, {12, L"12.0 KB"}, {999, L"999 KB"}, {1000, L"0.97 MB"}, {12595, L"12.2 MB"},
        {102400, L"100 MB"}, {1048575, L"0.99 GB"}, {1572864, L"1.50 GB"}, {4294967295u, L"3.99 TB"}};
    for (const auto& [kb, text] : sizes) EXPECT_EQ(SizeText(kb), text) << kb;

    const std::pair<const wchar_t*, std::optional<CalendarDate>> dates[] = {
        {L"20261208", CalendarDate{2026, 12, 8}}, {L"20000229", CalendarDate{2000, 2, 29}}, {L"19000229", {}},
        {L"20230229", {}}, {L"20261301", {}}, {L"20260431", {}}, {L"20260100", {}}, {L"2026-12-08", {}},
        {L"2026128", {}}, {L"2026120８", {}}, {L"", {}}};
    for (const auto& [text, date] : dates) EXPECT_EQ(ParseInstallDate(text), date) << testing::PrintToString(std::wstring(text));
}

TEST(EntryProperties, LinesAndReasonsOfEachKindOfEntry) {
    using Judgement = EntryFacts::Judgement;
    EntryFacts full{L"Инструмент", L"This user's programs", L"HKEY_CURRENT_USER\\...\\Uninstall\\Tool", L"Acme", L"4.2",
                    L"20261208", 12698, L"C:\\Tool", L"C:\\Tool\\unins000.exe", L"C:\\Tool\\unins000.exe /S", L"C:\\Tool\\unins000.exe /S",
                    quiet_uninstall::Basis::QuietUninstallString, {}, {}, {}, {}, {}, {}};
    EntryFacts installer;
    installer.displayName = full.displayName;
    installer.listWords = full.listWords;
    installer.keyName = full.keyName;
    installer.uninstallCommand = L"MsiExec.exe /X{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}";
    installer.productCode = L"{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C02}";
    installer.installDate = L"12/8/2026";  // no YYYYMMDD: shown as written
    installer.quietUninstall = L"msiexec /x " + installer.productCode + L" /qn /norestart";
    installer.quietBasis = quiet_uninstall::Basis::WindowsInstaller;
    installer.judgement = Judgement::Missing;
    installer.reason = L"Windows Installer does not know the product.";
    const auto date = [](int y, int m, int d) { return std::to_wstring(y) + L"-" + std::to_wstring(m) + L"-" + std::to_wstring(d); };
    const std::vector<PropertyLine> head{{L"Name", full.displayName}, {L"List", full.listWords}, {L"Key", full.keyName}};
    std::vector<PropertyLine> lines = head;
    lines.insert(lines.end(), {{L"Publisher", L"Acme"}, {L"Version", L"4.2"}, {L"Installed on", L"2026-12-8"},
                               {L"Size", L"12.4 MB"}, {L"Install folder", L"C:\\Tool"},
                               {L"Uninstall command", full.uninstallCommand},
                               {L"Quiet uninstall command", full.quietUninstallCommand},
                               {L"Runs quietly", L"Yes, by its quiet uninstall command"}});
    EXPECT_EQ(EntryProperties(full, date), lines);
    lines = head;  // every empty field left out
    lines.insert(lines.end(), {{L"Installed on", L"12/8/2026"}, {L"Uninstall command", installer.uninstallCommand},
                               {L"Runs quietly", L"Yes, through Windows Installer: " + installer.quietUninstall},
                               {L"Product code", installer.productCode}});
    EXPECT_EQ(EntryProperties(installer, date), lines);

    const std::pair<Judgement, std::wstring> statuses[] = {
        {Judgement::Missing, installer.reason}, {Judgement::Found, L"Its uninstaller was found."},
        {Judgement::Assumed, L"Its uninstaller cannot be checked here and is assumed present."},
        {Judgement::ProductKnown, L"Windows Installer knows its product."}};
    for (const auto& [judgement, status] : statuses) {
        installer.judgement = judgement;
        EXPECT_EQ(JudgementText(installer), status);
    }
    EXPECT_EQ(QuietUninstallText(quiet_uninstall::Basis::Nsis, L"\"u.exe\" /S"), L"Yes, as an NSIS uninstaller: \"u.exe\" /S");
    EXPECT_EQ(QuietUninstallText(quiet_uninstall::Basis::None, L""), L"No: it shows its own window");
    EXPECT_EQ(RowReasonText(true, installer.reason), L"Phantom entry: " + installer.reason);
    EXPECT_EQ(RowReasonText(true, L""), L"Phantom entry");
    EXPECT_EQ(RowReasonText(false, installer.reason), L"");
}

}  // namespace
