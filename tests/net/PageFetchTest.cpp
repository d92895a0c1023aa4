// Text fetches against the in-process server: what goes out on the wire,
// and the lines that come back.

#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <atomic>

#include "DialogWatcher.h"
#include "LoopbackHttpServer.h"
#include "app/MessageBoxNotice.h"
#include "net/HttpFetcher.h"

using Exchange = LoopbackHttpServer::Exchange;
using Lines = std::vector<std::string>;

TEST(PageFetch, SendsTheTextHeadersAndDeliversCrLfPageWithLf) {
    LoopbackHttpServer server([](Exchange& ex) {
        ex.Send(LoopbackHttpServer::Reply(200, "line one\r\nline two\r\n\r\nlast", "Content-Type: text/plain\r\n"));
    });
    HttpFetcher fetcher;
    const Lines& lines = fetcher.Fetch(server.Url("/upgrade.html?v=1.2"));
    EXPECT_EQ(lines, (Lines{"line one\n", "line two\n", "\n", "last"}));
    EXPECT_EQ(&lines, &fetcher.Lines());

    const std::vector<ReceivedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const ReceivedRequest& request = requests[0];
    EXPECT_EQ(request.requestLine, "GET /upgrade.html?v=1.2 HTTP/1.1");
    EXPECT_EQ(request.HeaderCount("Accept"), 1);
    EXPECT_EQ(request.Header("Accept"), "text/*");
    // The agent line added if new wins over the agent given to WinINet:
    // only one goes out.
    EXPECT_EQ(request.HeaderCount("User-Agent"), 1);
    EXPECT_EQ(request.Header("User-Agent"), "Vexmar by Quorvane");
    EXPECT_EQ(request.Header("Host"), server.HostPort());
    // Fresh from the server: nothing conditional, no proxy in between.
    EXPECT_EQ(request.HeaderCount("If-Modified-Since") + request.HeaderCount("If-None-Match"), 0);
    EXPECT_EQ(request.HeaderCount("Proxy-Connection"), 0);
}

TEST(PageFetch, LongLinesAndErrorPagesArriveAsEntries) {
    const std::string longLine = std::string(2999, 'x') + "\n";  // 3000 characters
    const std::string notFound = "<html>\r\n<body>No such page</body>\r\n</html>\r\n";
    LoopbackHttpServer server([&](Exchange& ex) {
        if (ex.request.target == "/long") ex.Send(LoopbackHttpServer::Reply(200, longLine + "tail\n"));
        else ex.Send(LoopbackHttpServer::Reply(404, notFound));
    });
    HttpFetcher fetcher;
    Lines lines = fetcher.Fetch(server.Url("/long"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(1022, 'x'));
    EXPECT_EQ(lines[1], std::string(1022, 'x'));
    EXPECT_EQ(lines[2], std::string(955, 'x') + "\n");
    EXPECT_EQ(lines[2].size(), 956u);
    EXPECT_EQ(lines[3], "tail\n");

    // A status other than a followed redirect is not an error.
    EXPECT_EQ(fetcher.Fetch(server.Url("/gone")), (Lines{"<html>\n", "<body>No such page</body>\n", "</html>\n"}));
}

TEST(PageFetch, AddressWithoutSchemeGetsHttpInFront) {
    LoopbackHttpServer server([](Exchange& ex) { ex.Send(LoopbackHttpServer::Reply(200, ex.request.target)); });
    HttpFetcher fetcher;
    EXPECT_EQ(fetcher.Fetch(server.HostPort() + "/plain/page.html"), (Lines{"/plain/page.html"}));
    // Trailing white space is dropped by the canonicalisation.
    EXPECT_EQ(fetcher.Fetch(server.Url("/spaced") + "  "), (Lines{"/spaced"}));
    EXPECT_EQ(server.RequestCount(), 2u);
}

TEST(PageFetch, AddressWithHttpOnlyInItsQueryIsNotSent) {
    LoopbackHttpServer server([](Exchange& ex) { ex.Send(LoopbackHttpServer::Reply(200, "served\n")); });
    HttpFetcher fetcher;
    fetcher.Fetch(server.Url("/first"));
    // No scheme is put in front, so the address names no HTTP server.
    EXPECT_EQ(fetcher.Fetch(server.HostPort() + "/go?to=http://elsewhere/"), Lines{});
    EXPECT_EQ(server.RequestCount(), 1u);
}

TEST(PageFetch, HttpsAddressIsFetchedSecurely) {
    LoopbackHttpServer server([](Exchange& ex) { ex.Send(LoopbackHttpServer::Reply(200, "plain\n")); });
    DialogWatcher watcher;
    HttpFetcher fetcher;
    fetcher.ShowProblemsWith(MessageBoxNotice());
    // The plain server gets a TLS greeting instead of a request and hangs
    // up; without the secure flag it would have been sent a plain GET.
    EXPECT_EQ(fetcher.Fetch("https://" + server.HostPort() + "/secure"), Lines{});
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_GE(server.ForeignConnections(), 1);
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST(PageFetch, EveryFetchReachesTheServer) {
    std::atomic<int> served{0};
    LoopbackHttpServer server([&served](Exchange& ex) {
        // Everything that would let a cache answer instead.
        ex.Send(LoopbackHttpServer::Reply(200, "copy " + std::to_string(++served) + "\n",
                                          "Cache-Control: public, max-age=86400\r\n"
                                          "Expires: Fri, 01 Jan 2100 00:00:00 GMT\r\n"
                                          "Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n"
                                          "ETag: \"v1\"\r\n"));
    });
    HttpFetcher fetcher;
    EXPECT_EQ(fetcher.Fetch(server.Url("/cached")), (Lines{"copy 1\n"}));
    EXPECT_EQ(fetcher.Fetch(server.Url("/cached")), (Lines{"copy 2\n"}));
    const std::vector<ReceivedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].HeaderCount("If-None-Match") + requests[1].HeaderCount("If-Modified-Since"), 0);
    // Nothing was written to the URL cache either.
    DWORD size = 0;
    EXPECT_FALSE(GetUrlCacheEntryInfoA(server.Url("/cached").c_str(), nullptr, &size));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(PageFetch, EmptyAndFailedFetchesEndQuietly) {
    LoopbackHttpServer server([](Exchange& ex) {
        if (ex.request.target == "/empty") {
            ex.Send(LoopbackHttpServer::Reply(200, ""));
        } else {
            // Promises more than it sends, then hangs up.
            ex.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\nfirst\nsecond\npart");
            ex.CloseAfter();
        }
    });
    DialogWatcher watcher;
    HttpFetcher fetcher;
    fetcher.ShowProblemsWith(MessageBoxNotice());
    fetcher.Fetch(server.Url("/cut"));
    // The lines read before the connection ended are kept.
    EXPECT_EQ(fetcher.Lines(), (Lines{"first\n", "second\n", "part"}));
    EXPECT_EQ(fetcher.Fetch(server.Url("/empty")), Lines{});

    fetcher.Fetch(server.Url("/cut"));
    const std::string refused = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::UnusedPort()) + "/page";
    EXPECT_EQ(fetcher.Fetch(refused), Lines{});  // the previous lines are gone too
    EXPECT_EQ(fetcher.Fetch("http://"), Lines{});
    EXPECT_EQ(fetcher.Fetch(""), Lines{});
    EXPECT_TRUE(watcher.Seen().empty()) << watcher.Seen()[0].messageText;
}
