// Answers that make a fetch go round: followed and refused redirects, and
// the 401 that is just an answer.

#include <gtest/gtest.h>

#include "DialogWatcher.h"
#include "LoopbackHttpServer.h"
#include "app/MessageBoxNotice.h"
#include "net/HttpFetcher.h"

using Exchange = LoopbackHttpServer::Exchange;
using Lines = std::vector<std::string>;

class FollowedRedirect : public ::testing::TestWithParam<int> {};

TEST_P(FollowedRedirect, IsFollowedOnceWithTheSameHeaders) {
    const int status = GetParam();
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](Exchange& ex) {
        if (ex.request.target == "/start")
            ex.Send(LoopbackHttpServer::Reply(status, "moved\n", "Location: " + self->Url("/target?x=1") + "\r\n"));
        else
            ex.Send(LoopbackHttpServer::Reply(200, "arrived at " + ex.request.target + "\n"));
    });
    self = &server;
    HttpFetcher fetcher;
    EXPECT_EQ(fetcher.Fetch(server.Url("/start")), (Lines{"arrived at /target?x=1\n"}));
    const std::vector<ReceivedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].requestLine, "GET /target?x=1 HTTP/1.1");
    EXPECT_EQ(requests[1].Header("Accept"), "text/*");
    EXPECT_EQ(requests[1].Header("User-Agent"), "Vexmar by Quorvane");
    EXPECT_EQ(requests[1].HeaderCount("User-Agent"), 1);
}

INSTANTIATE_TEST_SUITE_P(Statuses, FollowedRedirect, ::testing::Values(301, 302, 303));

TEST(Redirect, FirstLocationTextWinsEvenInsideALongerName) {
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](Exchange& ex) {
        if (ex.request.target == "/start")
            ex.Send(LoopbackHttpServer::Reply(302, "", "X-Old-Location: " + self->Url("/old") + "\r\nLocation: " +
                                                           self->Url("/new") + "\r\n"));
        else
            ex.Send(LoopbackHttpServer::Reply(200, ex.request.target));
    });
    self = &server;
    HttpFetcher fetcher;
    EXPECT_EQ(fetcher.Fetch(server.Url("/start")), (Lines{"/old"}));
}

TEST(Redirect, TemporaryAndPermanentRedirectsAreResults) {
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](Exchange& ex) {
        const int status = ex.request.target == "/307" ? 307 : 308;
        ex.Send(LoopbackHttpServer::Reply(status, "body of " + std::to_string(status) + "\n",
                                          "Location: " + self->Url("/elsewhere") + "\r\n"));
    });
    self = &server;
    HttpFetcher fetcher;
    EXPECT_EQ(fetcher.Fetch(server.Url("/307")), (Lines{"body of 307\n"}));
    EXPECT_EQ(fetcher.Fetch(server.Url("/308")), (Lines{"body of 308\n"}));
    EXPECT_EQ(server.RequestCount(), 2u);  // neither went to /elsewhere
}

struct RefusedCase {
    const char* name;
    const char* firstAnswerHeaders;  // "@" stands for the server's host:port
    std::size_t requests;            // how many reach the server
};

class RefusedRedirect : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRedirect, EndsWithNothingFetched) {
    const RefusedCase& c = GetParam();
    LoopbackHttpServer* self = nullptr;
    LoopbackHttpServer server([&](Exchange& ex) {
        std::string headers = c.firstAnswerHeaders;
        const std::size_t at = headers.find('@');
        if (at != std::string::npos) headers.replace(at, 1, self->HostPort());
        if (ex.request.target == "/start")
            ex.Send(LoopbackHttpServer::Reply(302, "moved\n", headers));
        else if (ex.request.target == "/again")
            ex.Send(LoopbackHttpServer::Reply(302, "moved again\n", "Location: " + self->Url("/third") + "\r\n"));
        else if (ex.request.target == "/missing")
            ex.Send(LoopbackHttpServer::Reply(404, "not here\n"));
        else
            ex.Send(LoopbackHttpServer::Reply(200, "reached " + ex.request.target + "\n"));
    });
    self = &server;
    HttpFetcher fetcher;
    fetcher.Fetch(server.Url("/plain"));
    ASSERT_EQ(fetcher.Lines(), (Lines{"reached /plain\n"}));

    EXPECT_EQ(fetcher.Fetch(server.Url("/start")), Lines{});
    EXPECT_EQ(server.RequestCount(), 1 + c.requests);
    EXPECT_EQ(server.ForeignConnections(), 0);  // no secure attempt either
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedRedirect,
    ::testing::Values(
        // An https target is refused before any connection is made.
        RefusedCase{"HttpsTarget", "Location: https://@/secure\r\n", 1},
        RefusedCase{"NoLocation", "Refresh: 0; url=/target\r\n", 1},
        RefusedCase{"RelativeTarget", "Location: /target\r\n", 1},
        RefusedCase{"NotAnAddress", "Location: \r\n", 1},
        RefusedCase{"NotHttp", "Location: ftp://@/file\r\n", 1},
        RefusedCase{"SecondRedirect", "Location: http://@/again\r\n", 2},
        RefusedCase{"TargetNotFound", "Location: http://@/missing\r\n", 2}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// A server that asks for Basic credentials and welcomes whoever sends them.
LoopbackHttpServer::Handler AskingForPassword() {
    return [](Exchange& ex) {
        const std::string credentials = ex.request.Header("Authorization");
        if (credentials.empty())
            ex.Send(LoopbackHttpServer::Reply(401, "denied\n", "WWW-Authenticate: Basic realm=\"Upgrades\"\r\n"));
        else
            ex.Send(LoopbackHttpServer::Reply(200, "welcome " + credentials + "\n"));
    };
}

}  // namespace

// The program runs elevated, over plain http: a 401 asks nobody for a
// password and sends none, neither typed nor the user's own logon.
TEST(Unauthorized, IsAnAnswerLikeAnyOtherWithoutADialogOrASecondRequest) {
    LoopbackHttpServer server(AskingForPassword());
    DialogWatcher watcher([](HWND dialog, const SeenDialog&) { DialogWatcher::Press(dialog, IDCANCEL); });
    HttpFetcher fetcher;
    fetcher.ShowProblemsWith(MessageBoxNotice());
    EXPECT_EQ(fetcher.Fetch(server.Url("/private")), (Lines{"denied\n"}));
    EXPECT_TRUE(watcher.Seen().empty()) << "a dialog was shown";
    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(server.Requests()[0].HeaderCount("Authorization"), 0);
}
