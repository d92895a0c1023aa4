#include "LoopbackHttpServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 401: return "Unauthorized";
    case 404: return "Not Found";
    default: return "Status";
    }
}

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
    }
    ~WinsockUser() { WSACleanup(); }
};

// Listens on `port`, or on a free one when it is 0; `port` is then the port.
SOCKET ListenOnLoopback(unsigned short& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) throw std::runtime_error("socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, SOMAXCONN) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(s);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return s;
}

}  // namespace

std::string ReceivedRequest::Header(const std::string& name) const {
    const std::string wanted = Lower(name);
    for (const std::string& line : headerLines) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || Lower(line.substr(0, colon)) != wanted) continue;
        const std::size_t start = line.find_first_not_of(' ', colon + 1);
        return start == std::string::npos ? std::string() : line.substr(start);
    }
    return std::string();
}

int ReceivedRequest::HeaderCount(const std::string& name) const {
    const std::string wanted = Lower(name);
    int count = 0;
    for (const std::string& line : headerLines) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && Lower(line.substr(0, colon)) == wanted) ++count;
    }
    return count;
}

bool LoopbackHttpServer::Exchange::Send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - sent, 1 << 20));
        const int n = send(socket_, bytes.data() + sent, chunk, 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool LoopbackHttpServer::Exchange::Wait(HANDLE event, DWORD ms) {
    const HANDLE handles[] = {event, stop_};
    return WaitForMultipleObjects(2, handles, FALSE, ms) == WAIT_OBJECT_0;
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler, unsigned short port)
    : handler_(std::move(handler)), port_(port), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    static WinsockUser winsock;  // for the whole test process
    listener_ = ListenOnLoopback(port_);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        // Wine wakes a blocked accept or recv only when its socket is
        // closed (shutdown is not enough). No socket is made after this, and
        // the serving threads touch theirs no more once a call fails.
        closesocket(listener_);
        for (SOCKET s : sockets_) closesocket(s);
    }
    SetEvent(stop_.get());  // handlers waiting in Exchange::Wait
    acceptThread_.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        threads.swap(connectionThreads_);
    }
    for (std::thread& t : threads) t.join();
}

std::string LoopbackHttpServer::HostPort() const { return "127.0.0.1:" + std::to_string(port_); }

std::string LoopbackHttpServer::Url(const std::string& path) const { return "http://" + HostPort() + path; }

std::vector<ReceivedRequest> LoopbackHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::size_t LoopbackHttpServer::RequestCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.size();
}

int LoopbackHttpServer::ForeignConnections() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return foreignConnections_;
}

bool LoopbackHttpServer::WaitForRequests(std::size_t count, DWORD ms) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return requests_.size() >= count; });
}

std::string LoopbackHttpServer::Reply(int status, const std::string& body, const std::string& extraHeaders) {
    return "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n" + extraHeaders + "\r\n" + body;
}

std::string LoopbackHttpServer::HeadWithoutLength(int status, const std::string& extraHeaders) {
    return "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\nConnection: close\r\n" +
           extraHeaders + "\r\n";
}

unsigned short LoopbackHttpServer::UnusedPort() {
    static WinsockUser winsock;
    unsigned short port = 0;
    closesocket(ListenOnLoopback(port));
    return port;
}

void LoopbackHttpServer::AcceptLoop() {
    for (int connection = 1;; ++connection) {
        SOCKET s = accept(listener_, nullptr, nullptr);
        std::lock_guard<std::mutex> lock(mutex_);
        if (s == INVALID_SOCKET || stopping_) {
            if (s != INVALID_SOCKET) closesocket(s);
            return;
        }
        sockets_.push_back(s);
        connectionThreads_.emplace_back([this, s, connection] { Serve(s, connection); });
    }
}

void LoopbackHttpServer::Serve(SOCKET s, int connection) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        std::size_t end;
        while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
            const int n = recv(s, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            pending.append(buffer, static_cast<std::size_t>(n));
            if (pending[0] < 'A' || pending[0] > 'Z') {
                // Not a request line: a TLS client waits for an answer that
                // never comes, so it is told no at once.
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    ++foreignConnections_;
                }
                shutdown(s, SD_BOTH);
                return;
            }
        }
        const std::string head = pending.substr(0, end);
        pending.erase(0, end + 4);  // GET requests carry no body

        ReceivedRequest request;
        request.connection = connection;
        std::size_t lineStart = 0;
        for (bool first = true; lineStart <= head.size(); first = false) {
            std::size_t lineEnd = head.find("\r\n", lineStart);
            if (lineEnd == std::string::npos) lineEnd = head.size();
            const std::string line = head.substr(lineStart, lineEnd - lineStart);
            if (first) request.requestLine = line;
            else request.headerLines.push_back(line);
            lineStart = lineEnd + 2;
        }
        const std::size_t space1 = request.requestLine.find(' ');
        const std::size_t space2 = request.requestLine.find(' ', space1 + 1);
        request.method = request.requestLine.substr(0, space1);
        if (space1 != std::string::npos)
            request.target = request.requestLine.substr(space1 + 1, space2 - space1 - 1);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        arrived_.notify_all();

        Exchange exchange(request, s, stop_.get());
        handler_(exchange);
        if (exchange.close_) {
            shutdown(s, SD_SEND);
            // Drains until the client closes, so the body is not cut by a reset.
            while (recv(s, buffer, sizeof buffer, 0) > 0) {
            }
            return;
        }
    }
}
