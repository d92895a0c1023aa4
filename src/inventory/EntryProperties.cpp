#include "inventory/EntryProperties.h"

#include <array>

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::wstring Digits(std::uint64_t number, int width) {
    std::wstring text = std::to_wstring(number);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), L'0');
    return text;
}

}  // namespace

std::optional<CalendarDate> ParseInstallDate(std::wstring_view text) {
    if (text.size() != 8) return std::nullopt;
    int number[3] = {};
    for (std::size_t i = 0; i < 8; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        int& part = number[i < 4 ? 0 : i < 6 ? 1 : 2];
        part = part * 10 + (text[i] - L'0');
    }
    const CalendarDate date{number[0], number[1], number[2]};
    if (date.year < 1601 || date.month < 1 || date.month > 12 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

std::wstring SizeText(std::uint32_t kilobytes) {
    constexpr std::array<const wchar_t*, 4> kUnits{L" KB", L" MB", L" GB", L" TB"};
    std::uint64_t divisor = 1;  // kilobytes per unit
    std::size_t unit = 0;
    while (kilobytes / divisor >= 1000 && unit + 1 < kUnits.size()) {
        divisor *= 1024;
        ++unit;
    }
    // Hundredths of the unit, cut: 0.999 MB is 0.99 MB, as Explorer says.
    const std::uint64_t hundredths = std::uint64_t{kilobytes} * 100 / divisor;
    std::wstring number;
    if (hundredths < 1000)
        number = std::to_wstring(hundredths / 100) + L"." + Digits(hundredths % 100, 2);
    else if (hundredths < 10000)
        number = std::to_wstring(hundredths / 100) + L"." + std::to_wstring(hundredths / 10 % 10);
    else
        number = std::to_wstring(hundredths / 100);
    return number + kUnits[unit];
}

std::wstring JudgementText(const EntryFacts& facts) {
    switch (facts.judgement) {
    case EntryFacts::Judgement::Missing: return facts.reason;
    case EntryFacts::Judgement::Assumed: return L"Its uninstaller cannot be checked here and is assumed present.";
    case EntryFacts::Judgement::ProductKnown: return L"Windows Installer knows its product.";
    default: return L"Its uninstaller was found.";
    }
}

std::vector<PropertyLine> EntryProperties(const EntryFacts& facts, const DateText& dateText) {
    std::vector<PropertyLine> lines{{L"Name", facts.displayName}, {L"List", facts.listWords}, {L"Key", facts.keyName}};
    const auto add = [&lines](const wchar_t* label, const std::wstring& value) {
        if (!value.empty()) lines.push_back({label, value});
    };
    add(L"Publisher", facts.publisher);
    add(L"Version", facts.version);
    if (const std::optional<CalendarDate> date = ParseInstallDate(facts.installDate); date && dateText)
        add(L"Installed on", dateText(date->year, date->month, date->day));
    else
        add(L"Installed on", facts.installDate);
    if (facts.sizeKb) add(L"Size", SizeText(facts.sizeKb));
    add(L"Install folder", facts.installLocation);
    add(L"Uninstall command", facts.uninstallCommand);
    add(L"Quiet uninstall command", facts.quietUninstallCommand);
    add(L"Runs quietly", QuietUninstallText(facts.quietBasis, facts.quietUninstall));
    add(L"Product code", facts.productCode);
    return lines;
}

std::wstring QuietUninstallText(quiet_uninstall::Basis basis, const std::wstring& command) {
    using quiet_uninstall::Basis;
    switch (basis) {
    case Basis::QuietUninstallString: return L"Yes, by its quiet uninstall command";
    case Basis::WindowsInstaller: return L"Yes, through Windows Installer: " + command;
    case Basis::Nsis: return L"Yes, as an NSIS uninstaller: " + command;
    case Basis::InnoSetup: return L"Yes, as an Inno Setup uninstaller: " + command;
    case Basis::None: break;
    }
    return L"No: it shows its own window";
}

std::wstring RowReasonText(bool phantom, std::wstring_view reason) {
    if (!phantom) return {};
    std::wstring text = L"Phantom entry";
    if (!reason.empty()) text += L": " + std::wstring(reason);
    return text;
}
