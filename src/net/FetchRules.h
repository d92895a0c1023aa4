#pragma once
// The text rules of a fetch that need no network: how an address is
// completed, when a request is secure, which answers are followed and
// where they lead, when a downloaded piece is a web page, and the progress
// text of a download.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The address as requested: "http://" in front unless "http://" or
// "https://" stands anywhere in it (case-sensitive, so an address that only
// carries one in its query is left without a scheme).
std::string FullAddress(const std::string& url);

// A request is secure when the full address contains "https://" anywhere.
bool IsSecureAddress(const std::string& fullAddress);

// Only 301, 302 and 303 are followed; 307 and 308 are read as results.
bool IsFollowedRedirect(unsigned long status);

// The target of a redirect: the text after the first "Location: " in the
// raw headers (CR LF separated) up to the end of that line. None when the
// headers hold no "Location: ".
std::optional<std::string> LocationTarget(const std::string& rawHeaders);

// True when the piece, read as text up to its first zero byte and lowered,
// holds "<html>": the server sent a web page instead of the file.
bool PieceHoldsHtml(const char* piece, std::size_t size);

// "Read <total> bytes", or "Read <total>/<length> bytes" when the length is
// known (greater than 0).
std::string DownloadProgressText(std::uint64_t total, std::uint64_t contentLength);

// A Content-Length header value as a number; 0 when it is missing or not a
// plain decimal number.
std::uint64_t ParseContentLength(const std::string& text);

// Why a fetch failed, as the rest of a sentence ("... failed: <why>").
// A WinINet error code (12xxx) of a request that got no answer.
std::string ConnectionFailureText(unsigned long error);
// An answer that is not the page: "the server answered 404 Not Found".
std::string StatusFailureText(unsigned long status, const std::string& reason);
// A redirect that is not followed (`target` none: it named no address).
std::string RefusedRedirectText(const std::optional<std::string>& target);
// A page past `limitBytes`: "the page is larger than 1 MiB".
std::string PageTooLargeText(std::size_t limitBytes);
