// The upgrade installation in a process of its own, against a real server:
// what runs, in which order, with which command lines, and what is left.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>

#include "BuildConfig.h"
#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/UniqueHandle.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

const std::string kProblemText =
    "There was a problem while downloading the update for your software. Your current version is still "
    "installed.\n\nYou can manually upgrade your software by visiting http://" ZALTROW_MAKER_HOST
    "/zaltrow.html and clicking Download Evaluation to obtain the latest version.";

class InstallUpgradeTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder = ReadFile(BesideThisProgram("command_recorder.exe"));
        ASSERT_FALSE(recorder.empty());
        // The page's two signature lines, made by tools/sign-upgrade.sh.
        const std::string lines = ReadFile(BesideThisProgram("command_recorder.sig"));
        ASSERT_EQ(lines.rfind("<!-- UPGRADE Signature\n", 0), 0u);
        signature = lines.substr(lines.find('\n') + 1);
        signature.erase(signature.find_last_not_of("\r\n") + 1);
        std::filesystem::copy_file(BesideThisProgram("command_recorder.exe"), folder.Join("unins000.exe"));
    }

    // Runs the installation with `url` and `sig` in the test folder,
    // pressing OK on every box it shows; its exit code.
    DWORD Install(const std::string& url, const std::string& sig, std::vector<gui::SeenBox>* boxes = nullptr) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string command = "\"";
        command.append(BesideThisProgram("upgrade_install_driver.exe")).append("\" ").append(url);
        command.append(" \"").append(sig).append("\"");
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                            &startup, &process)) {
            ADD_FAILURE() << "cannot start " << command;
            return 99;
        }
        const ULONGLONG start = GetTickCount64();
        while (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT && GetTickCount64() - start < 30000) {
            HWND window = gui::WaitForWindow(process.dwProcessId, "#32770", nullptr, 100);
            if (!window || !gui::IsMessageBox(window)) continue;
            Sleep(50);
            gui::SeenBox box;
            box.window = window;
            box.caption = gui::Text(window);
            box.text = gui::ItemText(window, 0xFFFF);
            box.buttons = gui::Buttons(window);
            if (boxes) boxes->push_back(box);
            gui::PressButton(window, IDOK);
            gui::PumpUntil([&] { return !IsWindowVisible(window); }, 1000);
        }
        DWORD code = 99;
        if (WaitForSingleObject(process.hProcess, 1000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
        else TerminateProcess(process.hProcess, 98);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    std::string Calls() { return ReadFile(folder.Join("calls.log")); }

    TempFolder folder;
    std::string recorder;
    std::string signature;
};

TEST_F(InstallUpgradeTest, DownloadsUninstallsSilentlyInstallsDeletesAndEnds) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, recorder, "Content-Type: application/octet-stream\r\n"));
    });
    // The link as the page gives it: no scheme, its line feed still on.
    const std::string link = server.HostPort() + "/downloads/zaltrow-setup.exe\n";
    EXPECT_EQ(Install("\"" + link + "\"", signature), 0u);
    ASSERT_EQ(server.RequestCount(), 1u);
    EXPECT_EQ(server.Requests()[0].target, "/downloads/zaltrow-setup.exe");
    EXPECT_EQ(Calls(), folder.Path() + "\\unins000.exe  /SILENT\nNewUpdate.exe \n");
    EXPECT_FALSE(std::filesystem::exists(folder.Join("NewUpdate.exe")));
}

TEST_F(InstallUpgradeTest, WebPageInsteadOfTheInstallerChangesNothing) {
    // A stale installer from an earlier attempt must not be run either.
    std::filesystem::copy_file(BesideThisProgram("command_recorder.exe"), folder.Join("NewUpdate.exe"));
    LoopbackHttpServer server([](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(404, "<HTML><body>Not here</body></HTML>"));
    });
    std::vector<gui::SeenBox> boxes;
    EXPECT_EQ(Install(server.Url("/setup.exe"), signature, &boxes), 3u) << "returned to the check";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kProblemText);
    EXPECT_EQ(boxes[0].buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    EXPECT_EQ(Calls(), "") << "nothing was run";
    EXPECT_FALSE(std::filesystem::exists(folder.Join("NewUpdate.exe")));
    EXPECT_TRUE(std::filesystem::exists(folder.Join("unins000.exe")));
}

// What the server sends for the installer's address, and the signature
// line the page carries with it.
struct Unproven {
    const char* name;
    std::function<void(LoopbackHttpServer::Exchange&, const std::string& installer)> serve;
    bool signedPage;
};

class UnprovenInstaller : public InstallUpgradeTest, public ::testing::WithParamInterface<Unproven> {};

// Nothing that is not the maker's signed installer, whole, leads to the
// uninstaller or anything else being run.
TEST_P(UnprovenInstaller, IsNeverRunAndNothingIsUninstalled) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) { GetParam().serve(exchange, recorder); });
    std::vector<gui::SeenBox> boxes;
    EXPECT_EQ(Install(server.Url("/setup.exe"), GetParam().signedPage ? signature : "", &boxes), 3u);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, kProblemText);
    EXPECT_EQ(Calls(), "") << "the uninstaller or the download was run";
    EXPECT_FALSE(std::filesystem::exists(folder.Join("NewUpdate.exe")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnprovenInstaller,
    ::testing::Values(
        Unproven{"NotFoundPageWithAttributes",
                 [](LoopbackHttpServer::Exchange& ex, const std::string&) {
                     ex.Send(LoopbackHttpServer::Reply(404, "<html lang=\"en\"><body>Not Found</body></html>"));
                 },
                 true},
        Unproven{"LoginPageWith200",
                 [](LoopbackHttpServer::Exchange& ex, const std::string&) {
                     ex.Send(LoopbackHttpServer::Reply(
                         200, "<!DOCTYPE html>\n<html lang=\"en\"><body><form>Sign in</form></body></html>\n"));
                 },
                 true},
        Unproven{"CutShortWithoutLength",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& installer) {
                     ex.Send(LoopbackHttpServer::HeadWithoutLength(200) + installer.substr(0, installer.size() / 2));
                     ex.CloseAfter();
                 },
                 true},
        Unproven{"Unsigned",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& installer) {
                     ex.Send(LoopbackHttpServer::Reply(200, installer));
                 },
                 false},
        Unproven{"Tampered",
                 [](LoopbackHttpServer::Exchange& ex, const std::string& installer) {
                     std::string changed = installer;
                     changed[changed.size() - 100] ^= 0x01;  // past the headers: still a program
                     ex.Send(LoopbackHttpServer::Reply(200, changed));
                 },
                 true}),
    [](const auto& info) { return std::string(info.param.name); });

// A stale "NewUpdate.exe" that cannot be removed is never taken for the
// download: the user is told why, then that the upgrade failed.
TEST_F(InstallUpgradeTest, StaleInstallerThatCannotBeReplacedIsNeverRun) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, recorder));
    });
    const std::string stale = folder.Join("NewUpdate.exe");
    {
        std::filesystem::copy_file(BesideThisProgram("command_recorder.exe"), stale);
        // Another program holds it open and shares nothing.
        fw::FileHandle held(CreateFileA(stale.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        std::vector<gui::SeenBox> boxes;
        EXPECT_EQ(Install(server.Url("/setup.exe"), signature, &boxes), 3u);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, "A sharing violation occurred while accessing NewUpdate.exe.");
        EXPECT_EQ(boxes[1].text, kProblemText);
        EXPECT_EQ(Calls(), "");
    }
    std::filesystem::remove(stale);
    ASSERT_TRUE(CreateDirectoryA(stale.c_str(), nullptr));
    std::vector<gui::SeenBox> boxes;
    EXPECT_EQ(Install(server.Url("/setup.exe"), signature, &boxes), 3u);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Access to NewUpdate.exe was denied.");
    EXPECT_EQ(boxes[1].text, kProblemText);
    EXPECT_EQ(Calls(), "");
    EXPECT_TRUE(std::filesystem::is_directory(stale));
    EXPECT_EQ(server.RequestCount(), 0u) << "nothing downloaded while the name is taken";
}

}  // namespace
