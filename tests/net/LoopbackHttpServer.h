#pragma once
// A small HTTP/1.1 server on 127.0.0.1 inside the test process, so fetch
// tests need nothing outside the test program. It listens on a free port,
// serves each connection on its own thread (keep-alive included), records
// every request as it arrives on the wire, and lets each test answer
// through a handler that writes raw bytes: slow, stalled, cut-off or
// length-less replies are all just handler code.

#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/UniqueHandle.h"

struct ReceivedRequest {
    std::string requestLine;               // "GET /path HTTP/1.1"
    std::string method;
    std::string target;                    // the path and query as sent
    std::vector<std::string> headerLines;  // in wire order, without CR LF
    int connection = 0;                    // serial number of its connection

    // The value of the first header of that name (any letter case); empty
    // when there is none.
    std::string Header(const std::string& name) const;
    // How many header lines carry that name.
    int HeaderCount(const std::string& name) const;
};

class LoopbackHttpServer {
public:
    // One request's answering side, handed to the handler.
    class Exchange {
    public:
        const ReceivedRequest& request;
        // Writes raw bytes to the client; false once the client is gone.
        bool Send(const std::string& bytes);
        // Ends the connection after this answer (for length-less bodies).
        void CloseAfter() { close_ = true; }
        // Waits for `event` or for the server to stop, at most `ms`; true
        // when the event came.
        bool Wait(HANDLE event, DWORD ms);

    private:
        friend class LoopbackHttpServer;
        Exchange(const ReceivedRequest& request, SOCKET socket, HANDLE stop)
            : request(request), socket_(socket), stop_(stop) {}
        SOCKET socket_;
        HANDLE stop_;
        bool close_ = false;
    };
    using Handler = std::function<void(Exchange&)>;

    // Port 0 takes a free port; a fixed one serves a program built to ask
    // that address.
    explicit LoopbackHttpServer(Handler handler, unsigned short port = 0);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    unsigned short Port() const { return port_; }
    // "127.0.0.1:<port>" and "http://127.0.0.1:<port>" + path.
    std::string HostPort() const;
    std::string Url(const std::string& path) const;

    std::vector<ReceivedRequest> Requests() const;
    std::size_t RequestCount() const;
    // Connections whose first bytes were not an HTTP request (a TLS
    // greeting, say); the server hangs up on them.
    int ForeignConnections() const;
    // Waits until at least `count` requests have arrived, at most `ms`.
    bool WaitForRequests(std::size_t count, DWORD ms) const;

    // A complete answer with a Content-Length, for keep-alive connections.
    static std::string Reply(int status, const std::string& body, const std::string& extraHeaders = std::string());
    // Status line and headers of an answer whose body ends with the
    // connection (no Content-Length); the handler sends the body and calls
    // CloseAfter.
    static std::string HeadWithoutLength(int status, const std::string& extraHeaders = std::string());

    // A port on 127.0.0.1 where nothing listens (bound, then released).
    static unsigned short UnusedPort();

private:
    void AcceptLoop();
    void Serve(SOCKET socket, int connection);

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    fw::KernelHandle stop_;
    std::thread acceptThread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<ReceivedRequest> requests_;
    int foreignConnections_ = 0;
    std::vector<SOCKET> sockets_;
    std::vector<std::thread> connectionThreads_;
    bool stopping_ = false;
};
