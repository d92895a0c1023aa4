#include "inventory/BackupFileName.h"

#include <string>

namespace {

std::u16string TwoDigits(int number) {
    return {static_cast<char16_t>(u'0' + number / 10 % 10), static_cast<char16_t>(u'0' + number % 10)};
}

std::u16string Number(int number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string FileSafeKeyName(std::u16string_view keyName) {
    constexpr std::u16string_view kForbidden = u"\\/:*?\"<>|";
    std::u16string safe;
    for (char16_t c : keyName.substr(0, kMaxKeyPart)) {
        safe.push_back(c < 0x20 || kForbidden.find(c) != std::u16string_view::npos ? u'_' : c);
    }
    if (!safe.empty() && safe.back() >= 0xD800 && safe.back() <= 0xDBFF) safe.pop_back();
    // Windows drops trailing dots and blanks from file names by itself.
    while (!safe.empty() && (safe.back() == u'.' || safe.back() == u' ')) safe.pop_back();
    if (safe.empty()) safe = u"_";
    return safe;
}

std::u16string BackupFileName(const BackupTime& when, std::u16string_view keyName, int attempt) {
    std::u16string name = Number(when.year) + u"-" + TwoDigits(when.month) + u"-" + TwoDigits(when.day) + u" " +
                          TwoDigits(when.hour) + u"-" + TwoDigits(when.minute) + u"-" + TwoDigits(when.second) +
                          u" " + FileSafeKeyName(keyName);
    if (attempt > 1) name += u" (" + Number(attempt) + u")";
    return name + u".reg";
}

std::optional<BackupTime> BackupFileTime(std::u16string_view fileName) {
    constexpr std::u16string_view kForm = u"0000-00-00 00-00-00 ";
    if (fileName.size() <= kForm.size()) return std::nullopt;
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        const bool digit = fileName[i] >= u'0' && fileName[i] <= u'9';
        if (kForm[i] == u'0' ? !digit : fileName[i] != kForm[i]) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t digits) {
        int value = 0;
        for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (fileName[i] - u'0');
        return value;
    };
    return BackupTime{number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
}
