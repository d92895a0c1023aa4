#include "cli/ConsoleOutput.h"

#include <algorithm>
#include <string>

#include "framework/TextConversion.h"

namespace {
// Older consoles refuse very long writes; a pipe takes any size.
constexpr std::size_t kConsoleChunk = 8192;
}  // namespace

ConsoleOutput::ConsoleOutput(DWORD which) : handle_(GetStdHandle(which)) {
    DWORD mode = 0;
    console_ = handle_ && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
}

bool ConsoleOutput::Fail() {
    if (!failed_) {
        failed_ = true;
        error_ = GetLastError();
        if (error_ == ERROR_SUCCESS) error_ = ERROR_INVALID_HANDLE;
    }
    return false;
}

bool ConsoleOutput::Write(std::wstring_view text) {
    if (!handle_ || handle_ == INVALID_HANDLE_VALUE) {
        SetLastError(ERROR_INVALID_HANDLE);
        return Fail();
    }
    if (console_) {
        while (!text.empty()) {
            std::size_t chunk = std::min(text.size(), kConsoleChunk);
            // Never between the two halves of a character.
            if (chunk < text.size() && text[chunk - 1] >= 0xD800 && text[chunk - 1] <= 0xDBFF) --chunk;
            DWORD written = 0;
            if (!WriteConsoleW(handle_, text.data(), static_cast<DWORD>(chunk), &written, nullptr) || written == 0)
                return Fail();
            text.remove_prefix(written);
        }
        return true;
    }
    const std::string bytes = fw::ToUtf8(text);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return Fail();
        done += written;
    }
    return true;
}
