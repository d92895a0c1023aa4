#include "net/WinInet.h"

WinInet::WinInet() {
    complete_ = library_.Find(InternetOpenA, "InternetOpenA") &&
                library_.Find(InternetConnectA, "InternetConnectA") &&
                library_.Find(HttpOpenRequestA, "HttpOpenRequestA") &&
                library_.Find(HttpAddRequestHeadersA, "HttpAddRequestHeadersA") &&
                library_.Find(HttpSendRequestA, "HttpSendRequestA") &&
                library_.Find(HttpQueryInfoA, "HttpQueryInfoA") &&
                library_.Find(InternetQueryDataAvailable, "InternetQueryDataAvailable") &&
                library_.Find(InternetReadFile, "InternetReadFile") &&
                library_.Find(InternetCloseHandle, "InternetCloseHandle") &&
                library_.Find(InternetSetOptionA, "InternetSetOptionA") &&
                library_.Find(InternetCrackUrlA, "InternetCrackUrlA") &&
                library_.Find(InternetCanonicalizeUrlA, "InternetCanonicalizeUrlA");
}

const WinInet* WinInet::Get() {
    // Thread-safe first use: fetch workers may start together. Never
    // freed, since abandoned workers may still close handles at exit.
    static const WinInet* const loaded = [] {
        auto* inet = new WinInet();
        if (inet->complete_) return static_cast<const WinInet*>(inet);
        delete inet;
        return static_cast<const WinInet*>(nullptr);
    }();
    return loaded;
}
