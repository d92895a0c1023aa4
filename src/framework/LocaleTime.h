#pragma once
// Dates and times as the user's locale writes them (short form).

#include <windows.h>

#include <string>

namespace fw {

// Empty when the system cannot say the date.
inline std::wstring LocaleDate(const SYSTEMTIME& time) {
    wchar_t text[100] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 100) <= 0) return {};
    return text;
}

// A calendar day in the user's short date form (GetDateFormatEx); empty
// when the system cannot say it.
inline std::wstring LocaleDay(int year, int month, int day) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    wchar_t text[100] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 100, nullptr) <= 0) return {};
    return text;
}

// The date and the time of day; the date alone when the time cannot be said.
inline std::wstring LocaleDateTime(const SYSTEMTIME& time) {
    std::wstring text = LocaleDate(time);
    wchar_t clock[100] = {};
    if (text.empty() || GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, 100) <= 0) return text;
    return text + L" " + clock;
}

}  // namespace fw
