#include "app/SettingsNumbers.h"

#include <charconv>
#include <cstdint>

namespace settings_numbers {

std::string Join(const std::vector<int>& numbers) {
    std::string text;
    for (int number : numbers) {
        if (!text.empty()) text += ',';
        text += std::to_string(number);
    }
    return text;
}

std::vector<int> Split(std::string_view text, std::size_t count) {
    std::vector<int> numbers;
    while (numbers.size() < count) {
        int number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc()) return {};
        numbers.push_back(number);
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        if (numbers.size() < count) {
            if (text.empty() || text.front() != ',') return {};
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) return {};
    return numbers;
}

int Scale(int length, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || toDpi <= 0) return length;
    const std::int64_t scaled = static_cast<std::int64_t>(length) * toDpi;
    const std::int64_t half = fromDpi / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / fromDpi : (scaled - half) / fromDpi);
}

}  // namespace settings_numbers
