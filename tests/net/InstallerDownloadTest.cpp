// The upgrade's download against a real server: the setup lands in a new
// protected folder, in a file made new, and is proven only when it is the
// statement's setup, whole.

#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "LoopbackHttpServer.h"
#include "TestStatements.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "net/InstallerDownload.h"
#include "net/ProtectedFolder.h"
#include "net/UpgradePage.h"
#include "net/UpgradeStatement.h"

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string Content(const std::wstring& path) { return ReadWholeFile(std::string(path.begin(), path.end())); }

class InstallerDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder = ReadWholeFile(BesideThisProgram("command_recorder.exe"));
        ASSERT_FALSE(recorder.empty());
        const auto parsed = ParseUpgradeStatement(StatementText(StatementLines("statement-1.3.txt")));
        ASSERT_TRUE(parsed);
        statement = *parsed;
        ASSERT_FALSE(folder.Path().empty());
    }
    void TearDown() override { folder.Remove(kName); }

    static constexpr const wchar_t* kName = L"setup.exe";
    std::wstring File() const { return folder.Path() + L"\\" + kName; }

    std::string recorder;
    UpgradeStatement statement;
    ProtectedFolder folder{L"Zaltrow download test"};
};

TEST_F(InstallerDownloadTest, TheStatementsSetupIsProvenAndHeldUntilReleased) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, recorder, "Content-Type: application/octet-stream\r\n"));
    });
    InstallerDownload download(File());
    HttpFetcher fetcher;
    // The link as a page gives it: no scheme.
    ASSERT_EQ(download.Run(fetcher, server.HostPort() + "/setup.exe", statement, {}),
              InstallerDownload::Result::Proven);
    EXPECT_EQ(Content(File()), recorder);
    // What was checked is what runs: nobody changes or deletes it meanwhile.
    fw::FileHandle writer(CreateFileW(File().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer);
    EXPECT_FALSE(DeleteFileW(File().c_str()));
    download.Release();
    EXPECT_TRUE(DeleteFileW(File().c_str()));
}

// A name already taken in the folder (a planted file or link) is never
// written through, and nothing is proven.
TEST_F(InstallerDownloadTest, AFileAlreadyAtTheNameIsNeitherReplacedNorProven) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, recorder));
    });
    {
        fw::FileHandle planted(CreateFileW(File().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(planted);
        DWORD written = 0;
        WriteFile(planted.get(), "planted", 7, &written, nullptr);
    }
    InstallerDownload download(File());
    HttpFetcher fetcher;
    EXPECT_EQ(download.Run(fetcher, server.Url("/setup.exe"), statement, {}), InstallerDownload::Result::Failed);
    EXPECT_EQ(Content(File()), "planted");
}

// What the server sends for the setup's address.
struct Unproven {
    const char* name;
    std::function<void(LoopbackHttpServer::Exchange&, const std::string& setup)> serve;
};

class UnprovenSetup : public InstallerDownloadTest, public ::testing::WithParamInterface<Unproven> {};

TEST_P(UnprovenSetup, FailsAndLeavesNoFile) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) { GetParam().serve(exchange, recorder); });
    InstallerDownload download(File());
    HttpFetcher fetcher;
    EXPECT_EQ(download.Run(fetcher, server.Url("/setup.exe"), statement, {}), InstallerDownload::Result::Failed);
    EXPECT_NE(fetcher.Outcome(), FetchOutcome::Stalled) << "it failed on what arrived, not by waiting";
    EXPECT_FALSE(Exists(File()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnprovenSetup,
    ::testing::Values(
        Unproven{"NotFoundPageWithAttributes",
                 [](LoopbackHttpServer::Exchange& ex, const std::string&) {
                     ex.Send(LoopbackHttpServer::Reply(404, "<html lang=\"en\"><body>Not Found</body></html>"));
                 }},
        Unproven{"LoginPageWith200",
                 [](LoopbackHttpServer::Exchange& ex, const std::string&) {
                     ex.Send(LoopbackHttpServer::Reply(
                         200, "<!DOCTYPE html>\n<html lang=\"en\"><body><form>Sign in</form></body></html>\n"));
                 }},
        Unproven{"Unauthorized",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& setup) {
                     ex.Send(LoopbackHttpServer::Reply(401, setup, "WWW-Authenticate: Basic realm=\"x\"\r\n"));
                 }},
        Unproven{"CutShortWithoutLength",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& setup) {
                     ex.Send(LoopbackHttpServer::HeadWithoutLength(200) + setup.substr(0, setup.size() / 2));
                     ex.CloseAfter();
                 }},
        Unproven{"AnotherSignedProgram",
                 [](LoopbackHttpServer::Exchange& ex, const std::string&) {
                     ex.Send(LoopbackHttpServer::Reply(
                         200, ReadWholeFile(BesideThisProgram("recorder-other-architecture.exe"))));
                 }},
        Unproven{"LongerByOneByte",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& setup) {
                     ex.Send(LoopbackHttpServer::Reply(200, setup + "x"));
                 }},
        // Reading stops one byte past the signed size, though the server
        // would go on sending.
        Unproven{"OneBytePastTheSizeOnAConnectionLeftOpen",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& setup) {
                     ex.Send(LoopbackHttpServer::HeadWithoutLength(200) + setup + "x");
                     const fw::KernelHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
                     ex.Wait(never.get(), 120000);
                     ex.CloseAfter();
                 }},
        Unproven{"Tampered",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& setup) {
                     std::string changed = setup;
                     changed[changed.size() - 100] ^= 0x01;  // past the headers: still a program
                     ex.Send(LoopbackHttpServer::Reply(200, changed));
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

// Any user may make folders under the program data folder: names made in
// advance, the old numbered ones among them, never stand in the way, and
// no two downloads' folders share a name.
TEST(ProtectedFolderName, NoFolderMadeInAdvanceStandsInTheWay) {
    wchar_t base[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)));
    const std::wstring name = L"Zaltrow name test " + std::to_wstring(GetCurrentProcessId());
    std::vector<std::wstring> planted{std::wstring(base) + L"\\" + name};
    for (int i = 2; i <= 100; ++i) planted.push_back(planted[0] + L" (" + std::to_wstring(i) + L")");
    for (const std::wstring& folder : planted) CreateDirectoryW(folder.c_str(), nullptr);
    {
        const ProtectedFolder first(name), second(name);
        ASSERT_FALSE(first.Path().empty()) << first.Error();
        EXPECT_NE(first.Path(), second.Path());
        const std::wregex pattern(L".*\\\\" + name + L" [0-9a-f]{16}");
        EXPECT_TRUE(std::regex_match(first.Path(), pattern)) << fw::Narrow(first.Path());
        first.Remove(L"none");
        second.Remove(L"none");
        EXPECT_EQ(GetFileAttributesW(first.Path().c_str()), INVALID_FILE_ATTRIBUTES) << "an empty folder stays";
    }
    for (const std::wstring& folder : planted) RemoveDirectoryW(folder.c_str());
}

}  // namespace
