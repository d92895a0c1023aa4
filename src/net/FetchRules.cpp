#include "net/FetchRules.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>

std::string FullAddress(const std::string& url) {
    if (url.find("http://") != std::string::npos || url.find("https://") != std::string::npos) return url;
    return "http://" + url;
}

bool IsSecureAddress(const std::string& fullAddress) {
    return fullAddress.find("https://") != std::string::npos;
}

bool IsFollowedRedirect(unsigned long status) { return status >= 301 && status <= 303; }

std::optional<std::string> LocationTarget(const std::string& rawHeaders) {
    static constexpr char kMarker[] = "Location: ";
    const std::size_t at = rawHeaders.find(kMarker);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t start = at + sizeof kMarker - 1;
    const std::size_t end = rawHeaders.find_first_of("\r\n", start);
    return rawHeaders.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool PieceHoldsHtml(const char* piece, std::size_t size) {
    const char* zero = static_cast<const char*>(std::memchr(piece, '\0', size));
    const char* end = zero ? zero : piece + size;
    // Looked for without copying: every piece of a download passes here.
    // Only ASCII letters are lowered: the marker is ASCII, and lowering
    // bytes of double-byte characters could invent one.
    static constexpr char kTag[] = "<html>";
    constexpr std::size_t kTagLength = sizeof kTag - 1;
    for (const char* at = piece; end - at >= static_cast<std::ptrdiff_t>(kTagLength); ++at) {
        at = static_cast<const char*>(std::memchr(at, '<', static_cast<std::size_t>(end - at)));
        if (!at || end - at < static_cast<std::ptrdiff_t>(kTagLength)) return false;
        std::size_t i = 1;
        for (; i < kTagLength; ++i) {
            const char c = at[i];
            const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
            if (lower != kTag[i]) break;
        }
        if (i == kTagLength) return true;
    }
    return false;
}

std::string DownloadProgressText(std::uint64_t total, std::uint64_t contentLength) {
    // Built by appending: GCC 12 warns falsely about "literal" + string.
    std::string text("Read ");
    text += std::to_string(total);
    if (contentLength > 0) {
        text += '/';
        text += std::to_string(contentLength);
    }
    text += " bytes";
    return text;
}

std::uint64_t ParseContentLength(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return 0;
    std::uint64_t value = 0;
    for (std::size_t i = begin; i <= end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return 0;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    return value;
}

std::string ConnectionFailureText(unsigned long error) {
    // WinINet's codes for the failures a user can act on; the rest by number.
    std::string why;
    switch (error) {
    case 12002: why = "the server did not answer in time"; break;             // TIMEOUT
    case 12007: why = "the server's name could not be resolved"; break;       // NAME_NOT_RESOLVED
    case 12029: why = "no connection could be made to the server"; break;     // CANNOT_CONNECT
    case 12030: case 12031: why = "the connection was broken off"; break;     // ABORTED, RESET
    case 12152: why = "the server's answer could not be read"; break;         // INVALID_SERVER_RESPONSE
    default: why = "no connection could be made"; break;
    }
    return why + " (network error " + std::to_string(error) + ")";
}

std::string StatusFailureText(unsigned long status, const std::string& reason) {
    std::string text = "the server answered " + std::to_string(status);
    const std::size_t first = reason.find_first_not_of(" \t\r\n");
    if (first != std::string::npos) {
        text += ' ';
        text.append(reason, first, reason.find_last_not_of(" \t\r\n") - first + 1);
    }
    return text;
}

std::string RefusedRedirectText(const std::optional<std::string>& target) {
    if (!target || target->empty()) return "the server redirected without naming an address";
    // Only a plain-http address is followed: a secure one would need a
    // certificate check this program does not make, a relative one names no
    // server.
    std::string why;
    if (target->rfind("https://", 0) == 0) why = "to a secure (https) address";
    else if (target->find("://") == std::string::npos) why = "to a relative address";
    else why = "to an address that is not followed";
    return "the server redirected " + why + ", " + *target;
}

std::string PageTooLargeText(std::size_t limitBytes) {
    const std::string size = limitBytes % (1024 * 1024) == 0 ? std::to_string(limitBytes / (1024 * 1024)) + " MiB"
                                                             : std::to_string(limitBytes) + " bytes";
    return "the page is larger than " + size;
}
