// The upgrade installation in a process of its own, against a real server:
// what runs, in which order, with which command lines, and what is left.

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "BuildConfig.h"
#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "TempFolder.h"
#include "ThisProgram.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

class InstallUpgradeTest : public ::testing::Test {
protected:
    void SetUp() override {
        recorder = ReadFile(BesideThisProgram("command_recorder.exe"));
        ASSERT_FALSE(recorder.empty());
        std::filesystem::copy_file(BesideThisProgram("command_recorder.exe"), folder.Join("unins000.exe"));
    }

    // Runs the installation with `url` in the test folder; its exit code.
    DWORD Install(const std::string& url, gui::SeenBox* box = nullptr) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string command = "\"";
        command.append(BesideThisProgram("upgrade_install_driver.exe")).append("\" ").append(url);
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                            &startup, &process)) {
            ADD_FAILURE() << "cannot start " << command;
            return 99;
        }
        if (box) {
            HWND window = gui::WaitForWindow(process.dwProcessId, "#32770", "Zaltrow", 20000);
            if (window) {
                Sleep(50);
                box->window = window;
                box->text = gui::ItemText(window, 0xFFFF);
                box->buttons = gui::Buttons(window);
                gui::PressButton(window, IDOK);
            }
        }
        DWORD code = 99;
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
        else TerminateProcess(process.hProcess, 98);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    std::string Calls() { return ReadFile(folder.Join("calls.log")); }

    TempFolder folder;
    std::string recorder;
};

TEST_F(InstallUpgradeTest, DownloadsUninstallsSilentlyInstallsDeletesAndEnds) {
    LoopbackHttpServer server([&](LoopbackHttpServer::Exchange& exchange) {
        exchange.Send(LoopbackHttpServer::Reply(200, recorder, "Content-Type: application/octet-stream\r\n"));
    });
    // The link as the page gives it: no scheme, its line feed still on.
    const std::string link = server.HostPort() + "/downloads/zaltrow-setup.exe\n";
    EXPECT_EQ(Install("\"" + link + "\""), 0u);
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
    gui::SeenBox box;
    EXPECT_EQ(Install(server.Url("/setup.exe"), &box), 3u) << "returned to the check";
    EXPECT_EQ(box.text, "There was a problem while downloading the update for your software. Your current version "
                        "is still installed.\n\nYou can manually upgrade your software by visiting "
                        "http://" ZALTROW_MAKER_HOST "/zaltrow.html and clicking Download Evaluation to obtain the "
                        "latest version.");
    EXPECT_EQ(box.buttons, (std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}));
    EXPECT_EQ(Calls(), "") << "nothing was run";
    EXPECT_FALSE(std::filesystem::exists(folder.Join("NewUpdate.exe")));
    EXPECT_TRUE(std::filesystem::exists(folder.Join("unins000.exe")));
}

}  // namespace
