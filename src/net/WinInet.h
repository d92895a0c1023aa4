#pragma once
// WinINet, loaded from the system folder on first use rather than imported:
// it is no KnownDLL, so an import would let a copy planted beside the
// program run before any of its code, elevated or not. Holds the entry
// points the fetches use; Get() is null when the DLL or one of them is
// missing, and a fetch then fails with a message.

#include <windows.h>
#include <wininet.h>

#include "framework/SystemLibrary.h"
#include "framework/UniqueHandle.h"

class WinInet {
public:
    // Loaded once for the process's life; null when it could not be.
    static const WinInet* Get();

    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetConnectA) InternetConnectA = nullptr;
    decltype(&::HttpOpenRequestA) HttpOpenRequestA = nullptr;
    decltype(&::HttpAddRequestHeadersA) HttpAddRequestHeadersA = nullptr;
    decltype(&::HttpSendRequestA) HttpSendRequestA = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::InternetSetOptionA) InternetSetOptionA = nullptr;
    decltype(&::InternetCrackUrlA) InternetCrackUrlA = nullptr;
    decltype(&::InternetCanonicalizeUrlA) InternetCanonicalizeUrlA = nullptr;

private:
    WinInet();
    bool complete_ = false;
    fw::SystemLibrary library_{L"wininet.dll"};
};

// Sessions, connections and requests; only ever made through Get(), so
// closing finds it loaded.
struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { WinInet::Get()->InternetCloseHandle(h); }
};
using InternetHandle = fw::UniqueHandle<InternetHandleTraits>;
