#include "net/FetchRequest.h"

#include <algorithm>

#include <utility>
#include <vector>

#include "net/ApplicationName.h"
#include "net/FetchJob.h"
#include "net/FetchRules.h"
#include "net/HttpFetcher.h"
#include "net/InternetFailure.h"

namespace {

constexpr DWORD_PTR kContext = 1;

}  // namespace

void FetchRequest::Check(BOOL ok) const {
    // An abandoned fetch may live on while the program ends, when throwing
    // is no longer safe: its failed calls just yield nothing from here on.
    if (!ok && !Abandoned()) throw InternetFailure(GetLastError());
}

FetchRequest::FetchRequest(std::string headerText, FetchJob* job) : headerText_(std::move(headerText)), job_(job) {}

void FetchRequest::LimitWaits(HINTERNET handle) const {
    // Set on every handle: what a child inherits from its parent differs
    // between WinINet versions. A failure leaves the default, and the
    // caller's own bound on silence still holds.
    DWORD ms = HttpFetcher::StallMs();
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT})
        inet_->InternetSetOptionA(handle, option, &ms, sizeof ms);
}

void FetchRequest::NoteActivity() {
    if (job_) job_->NoteActivity();
}

bool FetchRequest::Abandoned() const { return job_ && job_->IsAbandoned(); }

std::optional<FetchRequest::Address> FetchRequest::Parse(const std::string& address) const {
    // Browser mode leaves what follows '?' or '#' as it is.
    std::vector<char> canonical(address.size() * 3 + 64);
    DWORD size = static_cast<DWORD>(canonical.size());
    if (!inet_->InternetCanonicalizeUrlA(address.c_str(), canonical.data(), &size, ICU_BROWSER_MODE)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
        canonical.resize(size + 1);
        size = static_cast<DWORD>(canonical.size());
        if (!inet_->InternetCanonicalizeUrlA(address.c_str(), canonical.data(), &size, ICU_BROWSER_MODE))
            return std::nullopt;
    }

    // Lengths of 1 with no buffers ask for pointers into the canonical text.
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!inet_->InternetCrackUrlA(canonical.data(), size, 0, &parts)) return std::nullopt;
    if (parts.dwHostNameLength == 0 || parts.lpszHostName == nullptr) return std::nullopt;

    Address result;
    result.scheme = parts.nScheme;
    result.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    result.port = parts.nPort;
    if (parts.lpszUrlPath) result.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) result.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (result.object.empty()) result.object.push_back('/');
    return result;
}

void FetchRequest::Send(const Address& address, DWORD flags) {
    if (Abandoned()) return;
    connection_.reset(inet_->InternetConnectA(session_.get(), address.host.c_str(), address.port, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, kContext));
    Check(connection_ ? TRUE : FALSE);
    LimitWaits(connection_.get());
    request_.reset(inet_->HttpOpenRequestA(connection_.get(), "GET", address.object.c_str(), nullptr, nullptr,
                                    nullptr, flags, kContext));
    Check(request_ ? TRUE : FALSE);
    LimitWaits(request_.get());
    // Add-if-new: a header the request already carries is kept; the
    // outcome is not looked at.
    inet_->HttpAddRequestHeadersA(request_.get(), headerText_.c_str(), static_cast<DWORD>(-1),
                           HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    if (Abandoned()) return;
    Check(inet_->HttpSendRequestA(request_.get(), nullptr, 0, nullptr, 0));
    status_ = QueryStatus();
    NoteActivity();
}

DWORD FetchRequest::QueryStatus() const {
    DWORD status = 0;
    DWORD size = sizeof status;
    Check(inet_->HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                         nullptr));
    return status;
}

std::string FetchRequest::StatusText() const {
    char text[256];
    DWORD size = sizeof text;
    if (!inet_->HttpQueryInfoA(request_.get(), HTTP_QUERY_STATUS_TEXT, text, &size, nullptr)) return {};
    return std::string(text, size < sizeof text ? size : 0);
}

std::string FetchRequest::RawHeaders() const {
    DWORD size = 0;
    if (!inet_->HttpQueryInfoA(request_.get(), HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &size, nullptr)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            Check(FALSE);
            return std::string();
        }
    }
    std::vector<char> text(size + 1);
    size = static_cast<DWORD>(text.size());
    Check(inet_->HttpQueryInfoA(request_.get(), HTTP_QUERY_RAW_HEADERS_CRLF, text.data(), &size, nullptr));
    return std::string(text.data(), size);
}

bool FetchRequest::Open(const std::string& url) {
    const std::string address = FullAddress(url);
    const DWORD flags = IsSecureAddress(address) ? kSecureRequestFlags : kRequestFlags;

    inet_ = WinInet::Get();
    if (!inet_) {
        failure_ = "the system's internet functions (wininet.dll) could not be loaded";
        return false;
    }
    const std::string agent = ApplicationName();
    session_.reset(inet_->InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session_) {
        if (job_ && !job_->IsAbandoned() && job_->notice) job_->notice("Cannot open internet connection.", agent);
        failure_ = "no internet connection could be opened";
        return false;
    }
    LimitWaits(session_.get());

    // An address that is not HTTP or HTTPS is not sent anywhere: without
    // this an unparsable one would go out with an empty server name.
    const std::optional<Address> first = Parse(address);
    if (!first || (first->scheme != INTERNET_SCHEME_HTTP && first->scheme != INTERNET_SCHEME_HTTPS)) {
        failure_ = "the address is not an http address, " + address;
        return false;
    }
    // A 401 is not asked about: the program runs elevated, and over plain
    // http a password would go to whoever answers.
    Send(*first, flags);

    if (!IsFollowedRedirect(status_)) {
        if (status_ != HTTP_STATUS_OK) failure_ = StatusFailureText(status_, StatusText());
        return true;
    }

    const std::optional<std::string> target = LocationTarget(RawHeaders());
    request_.reset();
    connection_.reset();
    const std::optional<Address> next = target ? Parse(*target) : std::nullopt;
    if (!next || next->scheme != INTERNET_SCHEME_HTTP) {
        failure_ = RefusedRedirectText(target);
        return false;
    }
    // Same flags as the first request: secure stays secure.
    Send(*next, flags);
    if (status_ == HTTP_STATUS_OK) return true;
    failure_ = IsFollowedRedirect(status_) ? "the server redirected more than once"
                                           : StatusFailureText(status_, StatusText());
    return false;
}

std::uint64_t FetchRequest::ContentLength() const {
    char text[64];
    DWORD size = sizeof text;
    DWORD index = 0;
    if (!inet_->HttpQueryInfoA(request_.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, &index)) return 0;
    return ParseContentLength(std::string(text, size));
}

std::size_t FetchRequest::ReadSome(char* buffer, std::size_t capacity) {
    if (Abandoned() || capacity == 0) return 0;
    // Waits for the first bytes only; 0 available means the body has ended.
    DWORD available = 0;
    Check(inet_->InternetQueryDataAvailable(request_.get(), &available, 0, 0));
    if (available == 0 || Abandoned()) return 0;
    DWORD read = 0;
    Check(inet_->InternetReadFile(request_.get(), buffer,
                                  static_cast<DWORD>(std::min<std::size_t>(capacity, available)), &read));
    if (read > 0) NoteActivity();
    return read;
}

void FetchRequest::Close() noexcept {
    request_.reset();
    connection_.reset();
    session_.reset();
}
