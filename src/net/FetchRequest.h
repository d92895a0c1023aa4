#pragma once
// One HTTP GET as both fetch workers make it, over WinINet: a direct
// internet object named after the application, the address completed and
// parsed, fresh and uncached requests with manual redirects and no
// authentication of any kind (a 401 is an answer like any other: no
// password dialog, no logging on with the user's own credentials), the
// worker's header text added if new, and one followed 301/302/303 redirect
// to a plain-HTTP target.
//
// Failed WinINet calls throw InternetFailure (not once abandoned, below);
// an Open that ends with nothing to read says why in Failure().
// The request, the connection and the internet object are closed by Close
// or by the destructor, in that order, on every path.
//
// Every handle waits at most HttpFetcher::StallMs() for a connection, for
// sending and for each receive (WinINet's connect, send and receive
// time-outs). With a job, the request tells it when data arrives; once the
// job has been abandoned it makes no further calls and throws no more
// (reads find the end, the status stays 0), since the program may be
// ending around it.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "net/WinInet.h"

struct FetchJob;

class FetchRequest {
public:
    // INTERNET_FLAG_RELOAD | EXISTING_CONNECT | NO_CACHE_WRITE |
    // NO_AUTO_REDIRECT | NO_AUTH.
    static constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT |
                                           INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                           INTERNET_FLAG_NO_AUTH;
    static_assert(kRequestFlags == 0xA4240000);
    static constexpr DWORD kSecureRequestFlags = kRequestFlags | INTERNET_FLAG_SECURE;
    static_assert(kSecureRequestFlags == 0xA4A40000);

    // The header lines sent with every request of this fetch, each ending
    // in CR LF.
    explicit FetchRequest(std::string headerText, FetchJob* job = nullptr);

    // Runs the request procedure for the caller's address. True when there
    // is a response to read; false when the fetch ends with nothing fetched
    // (no internet object - after telling the user -, an address that does
    // not parse as HTTP, a redirect that is not followed through).
    bool Open(const std::string& url);

    // The status of the response being read.
    DWORD Status() const { return status_; }

    // Why Open returned false, as the rest of a sentence; empty otherwise.
    const std::string& Failure() const { return failure_; }

    // The announced Content-Length; 0 when there is none.
    std::uint64_t ContentLength() const;

    // Whatever has arrived, up to `capacity` bytes, once at least one byte
    // has (or the body has ended: 0). A full-sized read would wait until it
    // is full, so a slow link would look silent while data still arrives.
    std::size_t ReadSome(char* buffer, std::size_t capacity);

    void Close() noexcept;

private:
    struct Address {
        INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
        std::string host;
        INTERNET_PORT port = 0;
        std::string object;
    };
    std::optional<Address> Parse(const std::string& address) const;

    // Connects and sends one GET for `address`, leaving its status read.
    void Send(const Address& address, DWORD flags);
    // Applies the time-outs to a handle.
    void LimitWaits(HINTERNET handle) const;
    // Data arrived: tell the job.
    void NoteActivity();
    // The job was given up: no more calls, no more exceptions.
    bool Abandoned() const;
    // Throws InternetFailure for a failed call, unless abandoned.
    void Check(BOOL ok) const;
    DWORD QueryStatus() const;
    std::string RawHeaders() const;
    std::string StatusText() const;

    std::string headerText_;
    FetchJob* job_;
    const WinInet* inet_ = nullptr;  // set by Open, when WinINet is there
    DWORD status_ = 0;
    std::string failure_;
    // Declared in opening order, so they are destroyed request first.
    InternetHandle session_;
    InternetHandle connection_;
    InternetHandle request_;
};
