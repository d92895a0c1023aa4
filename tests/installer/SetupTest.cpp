// Zaltrow's setup and uninstaller for real in the test prefix: the silent
// install and uninstall, the uninstall started from Zaltrow's own list, and
// the upgrade from 1.2 to 1.3 through an upgrade page on 127.0.0.1.

#include <winsock2.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "RegistryPaths.h"
#include "ThisProgram.h"

namespace {

const std::string kEntry = kUninstall + "\\Zaltrow";
const char* kSessionManager = "System\\CurrentControlSet\\Control\\Session Manager";
const char* kSettings = "Software\\Zaltrow";

std::string Folder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}
std::string InstallFolder() { return Folder(CSIDL_PROGRAM_FILES) + "\\Zaltrow"; }
std::string Installed(const std::string& name) { return InstallFolder() + "\\" + name; }
std::string ShortcutFile() { return Folder(CSIDL_COMMON_PROGRAMS) + "\\Zaltrow.lnk"; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool EntryExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEntry.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string ReadText(const std::string& path, const char* name) {
    char value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "<absent>";
    return value;
}
DWORD ReadNumber(const char* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kEntry.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size))
        return 0xFFFFFFFF;
    return value;
}

// Uninstall subkeys whose display name starts with "Zaltrow".
std::vector<std::string> ZaltrowEntries() {
    std::vector<std::string> keys;
    HKEY uninstall = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall.c_str(), 0, KEY_READ, &uninstall) != ERROR_SUCCESS) return keys;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(uninstall, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (ReadText(kUninstall + "\\" + name, "DisplayName").rfind("Zaltrow", 0) == 0) keys.push_back(name);
    }
    RegCloseKey(uninstall);
    return keys;
}

// Files the system deletes at the next restart (pending operations whose
// target is empty), without the "\??\" prefix.
std::vector<std::string> PendingDeletions() {
    std::vector<char> data(65536);
    DWORD size = static_cast<DWORD>(data.size());
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                     data.data(), &size) != ERROR_SUCCESS)
        return {};
    std::vector<std::string> deletions;
    const char* p = data.data();
    while (p < data.data() + size && *p) {
        std::string source = p;
        p += source.size() + 1;
        std::string target = p;
        p += target.size() + 1;
        if (target.empty()) deletions.push_back(source.rfind("\\??\\", 0) == 0 ? source.substr(4) : source);
    }
    return deletions;
}
bool IsPending(const std::string& path) {
    for (const std::string& pending : PendingDeletions())
        if (lstrcmpiA(pending.c_str(), path.c_str()) == 0 || lstrcmpiA(pending.c_str(), (path + "\\").c_str()) == 0)
            return true;
    return false;
}

struct VisibleSearch {
    DWORD pid;
    bool found = false;
};
BOOL CALLBACK VisitForVisible(HWND window, LPARAM parameter) {
    auto& s = *reinterpret_cast<VisibleSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s.pid && IsWindowVisible(window)) s.found = true;
    return !s.found;
}
bool HasVisibleWindow(DWORD pid) {
    VisibleSearch search{pid};
    EnumWindows(&VisitForVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Finished {
    DWORD exitCode = 1;
    double seconds = 0;
    bool showedWindow = false;
};

// Runs a program as the upgrade does (program file given apart from its
// command line, which is not quoted) and waits for it, watching for windows.
Finished RunAndWait(const std::string& program, std::string commandLine, const std::string& folder = {}) {
    Finished finished;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = std::chrono::steady_clock::now();
    if (!CreateProcessA(program.empty() ? nullptr : program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return finished;
    while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT)
        finished.showedWindow = finished.showedWindow || HasVisibleWindow(process.dwProcessId);
    finished.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    GetExitCodeProcess(process.hProcess, &finished.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return finished;
}

Finished InstallSilently(const std::string& setup) { return RunAndWait(setup, "\"" + setup + "\" /S"); }

// Wine's restart: applies the pending file operations as Windows does at boot.
void Restart() { RunAndWait({}, "wineboot.exe -r"); }

// Leaves the prefix as if Zaltrow had never been installed here.
void RemoveAllTraces() {
    if (Exists(Installed("unins000.exe"))) RunAndWait(Installed("unins000.exe"), "unins000.exe /SILENT");
    Restart();
    WIN32_FIND_DATAA file;
    HANDLE find = FindFirstFileA(Installed("*").c_str(), &file);
    if (find != INVALID_HANDLE_VALUE) {
        do DeleteFileA(Installed(file.cFileName).c_str());
        while (FindNextFileA(find, &file));
        FindClose(find);
    }
    RemoveDirectoryA(InstallFolder().c_str());
    DeleteFileA(ShortcutFile().c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEntry.c_str());
}

std::string SetupBesideTests(const char* relative) { return BesideThisProgram(relative); }

// Zaltrow started from the install folder, as the shortcut starts it.
class RunningZaltrow {
public:
    explicit RunningZaltrow(const std::string& program) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + program + "\"";
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, InstallFolder().c_str(),
                            &startup, &process_))
            return;
        window = gui::WaitForWindow(process_.dwProcessId, "#32770", "Zaltrow", 15000);
        if (window) list = GetDlgItem(window, 1000);
    }
    ~RunningZaltrow() {
        if (!process_.hProcess) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            gui::PressButton(window, IDCANCEL);
            if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    RunningZaltrow(const RunningZaltrow&) = delete;
    RunningZaltrow& operator=(const RunningZaltrow&) = delete;

    DWORD Pid() const { return process_.dwProcessId; }
    // The row showing `name`, or -1; with its uninstall command.
    int Row(const std::string& name, std::string* command = nullptr) const {
        const auto rows = gui::RemoteListRows(list, 2);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i][0] == name) {
                if (command) *command = rows[i][1];
                return static_cast<int>(i);
            }
        return -1;
    }
    // The exit status once the process ended within `ms`; STILL_ACTIVE if not.
    DWORD WaitForExit(DWORD ms) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    HWND window = nullptr;
    HWND list = nullptr;

private:
    PROCESS_INFORMATION process_{};
};

// A visible dialog of any process but `except` and this one that `accept` takes.
struct ForeignSearch {
    DWORD except;
    bool (*accept)(HWND);
    HWND found = nullptr;
};
BOOL CALLBACK VisitForeign(HWND window, LPARAM parameter) {
    auto& s = *reinterpret_cast<ForeignSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == s.except || owner == GetCurrentProcessId() || !IsWindowVisible(window) ||
        lstrcmpA(className, "#32770") != 0 || !s.accept(window))
        return TRUE;
    s.found = window;
    return FALSE;
}
HWND FindForeignDialog(DWORD except, bool (*accept)(HWND)) {
    ForeignSearch search{except, accept};
    EnumWindows(&VisitForeign, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK VisitForNext(HWND window, LPARAM parameter) {
    if (IsWindowVisible(window) && gui::HasButton(window, IDOK, "&Next")) *reinterpret_cast<HWND*>(parameter) = window;
    return TRUE;
}

class SetupTest : public testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        settingsExisted_ = RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettings, "bDisableSplash", REG_SZ, "1", 2);
        RemoveAllTraces();
    }
    void TearDown() override {
        RemoveAllTraces();
        if (!settingsExisted_) RegDeleteTreeA(HKEY_CURRENT_USER, kSettings);
    }

private:
    bool settingsExisted_ = false;
};

// The color pixels of a 32 x 32 icon of a file (index, or minus a resource id).
std::vector<char> IconPixels(const std::string& file, int index) {
    HICON icon = nullptr;
    if (ExtractIconExA(file.c_str(), index, &icon, nullptr, 1) != 1 || !icon) return {};
    ICONINFO info{};
    GetIconInfo(icon, &info);
    std::vector<char> pixels(32 * 32 * 4);
    pixels.resize(static_cast<std::size_t>(GetBitmapBits(info.hbmColor, static_cast<LONG>(pixels.size()), pixels.data())));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
    return pixels;
}

struct ShortcutFacts {
    std::string target, workingFolder;
};
ShortcutFacts ReadShortcut(const std::string& file) {
    ShortcutFacts facts;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
                char text[MAX_PATH] = {};
                if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0))) facts.target = text;
                text[0] = 0;
                if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) facts.workingFolder = text;
            }
            persist->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return facts;
}

TEST_F(SetupTest, SilentInstallPutsFilesShortcutAndEntryInPlaceAndZaltrowListsItself) {
    const Finished setup = InstallSilently(SetupBesideTests(ZALTROW_SETUP_FROM_TESTS));
    std::printf("silent install: %.2f s\n", setup.seconds);
    ASSERT_EQ(setup.exitCode, 0u);
    EXPECT_FALSE(setup.showedWindow);

    const std::string folder = InstallFolder();
    double bytes = 0;
    for (const char* name : {"Zaltrow 1.2.exe", "centerimage.bmp", "unins000.exe"}) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(GetFileAttributesExA(Installed(name).c_str(), GetFileExInfoStandard, &data)) << name;
        bytes += data.nFileSizeLow;
    }
    const ShortcutFacts shortcut = ReadShortcut(ShortcutFile());
    EXPECT_EQ(shortcut.target, folder + "\\Zaltrow 1.2.exe");
    EXPECT_EQ(shortcut.workingFolder, folder);

    const std::vector<std::pair<const char*, std::string>> texts{
        {"DisplayName", "Zaltrow 1.2"},
        {"DisplayIcon", folder + "\\Zaltrow 1.2.exe"},
        {"UninstallString", "\"" + folder + "\\unins000.exe\""},
        {"DisplayVersion", "1.2"},
        {"Publisher", "Quorvane"},
        {"InstallLocation", folder},
    };
    for (const auto& [name, value] : texts) EXPECT_EQ(ReadText(kEntry, name), value) << name;
    EXPECT_EQ(ReadNumber("NoModify"), 1u);
    EXPECT_EQ(ReadNumber("NoRepair"), 1u);
    EXPECT_NEAR(static_cast<double>(ReadNumber("EstimatedSize")), bytes / 1024, 4.0);  // kilobytes

    RunningZaltrow zaltrow(folder + "\\Zaltrow 1.2.exe");
    ASSERT_NE(zaltrow.list, nullptr);
    std::string command;
    const int row = zaltrow.Row("Zaltrow 1.2", &command);
    ASSERT_GE(row, 0);
    EXPECT_EQ(command, "\"" + folder + "\\unins000.exe\"");
    EXPECT_EQ(gui::RemoteItemData(zaltrow.list, row), 0);  // not a phantom
    // Image 0 is the default program icon; the row's own comes from the
    // icon loader a moment after the row.
    EXPECT_TRUE(gui::PumpUntil([&] { return gui::RemoteItemImage(zaltrow.list, row) > 0; }, 5000));
    // What shows for the program file (its first icon) is the main icon, 128.
    const std::vector<char> mainIcon = IconPixels(folder + "\\Zaltrow 1.2.exe", -128);
    EXPECT_FALSE(mainIcon.empty());
    EXPECT_EQ(IconPixels(folder + "\\Zaltrow 1.2.exe", 0), mainIcon);
    gui::PressButton(zaltrow.window, IDCANCEL);
    EXPECT_EQ(zaltrow.WaitForExit(10000), 0u);
}

TEST_F(SetupTest, SilentUninstallReturnsOnlyWhenEverythingIsGone) {
    ASSERT_EQ(InstallSilently(SetupBesideTests(ZALTROW_SETUP_FROM_TESTS)).exitCode, 0u);

    // The command line the upgrade gives it: the bare path, a blank, " /SILENT".
    const std::string uninstaller = Installed("unins000.exe");
    const Finished uninstall = RunAndWait(uninstaller, uninstaller + "  /SILENT", InstallFolder());
    std::printf("silent uninstall: %.2f s\n", uninstall.seconds);
    EXPECT_EQ(uninstall.exitCode, 0u);
    EXPECT_FALSE(uninstall.showedWindow);

    // Looked at the moment it returned.
    EXPECT_FALSE(Exists(Installed("Zaltrow 1.2.exe")));
    EXPECT_FALSE(Exists(Installed("centerimage.bmp")));
    EXPECT_FALSE(Exists(ShortcutFile()));
    EXPECT_FALSE(EntryExists());
    // Its own running file leaves the folder at once where the system lets
    // it be moved; where it may not (Wine), it and the folder go at restart.
    const bool ownFileLeft = Exists(uninstaller);
    std::printf("uninstaller's own file: %s\n", ownFileLeft ? "left for the next restart" : "gone at once");
    if (ownFileLeft) {
        EXPECT_TRUE(IsPending(uninstaller));
        EXPECT_TRUE(IsPending(InstallFolder()));
        Restart();
    }
    EXPECT_FALSE(Exists(InstallFolder()));
}

TEST_F(SetupTest, UninstallFromZaltrowsOwnListLeavesNoEntryToOfferForRemoval) {
    ASSERT_EQ(InstallSilently(SetupBesideTests(ZALTROW_SETUP_FROM_TESTS)).exitCode, 0u);
    RunningZaltrow zaltrow(Installed("Zaltrow 1.2.exe"));
    ASSERT_NE(zaltrow.list, nullptr);
    const int row = zaltrow.Row("Zaltrow 1.2");
    ASSERT_GE(row, 0);
    gui::RemoteSelectRow(zaltrow.list, row);
    gui::PressButton(zaltrow.window, IDOK);  // Uninstall

    // The uninstaller asks, removes, then says it is done; Zaltrow waits.
    int answered = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (answered < 2 && std::chrono::steady_clock::now() < deadline) {
        if (HWND box = FindForeignDialog(zaltrow.Pid(), &gui::IsMessageBox)) {
            const bool question = GetDlgItem(box, IDYES) != nullptr;
            gui::PressButton(box, question ? IDYES : IDOK);
            ++answered;
            Sleep(200);
        }
        Sleep(20);
    }
    EXPECT_EQ(answered, 2);
    EXPECT_FALSE(EntryExists());

    // Zaltrow's wait dialog ("Next" once the uninstaller has finished).
    HWND waitDialog = nullptr;
    gui::PumpUntil([&] {
        EnumThreadWindows(GetWindowThreadProcessId(zaltrow.window, nullptr), &VisitForNext,
                          reinterpret_cast<LPARAM>(&waitDialog));
        return waitDialog != nullptr;
    }, 10000);
    ASSERT_NE(waitDialog, nullptr);
    gui::PressButton(waitDialog, IDOK);  // Next

    // No removal offer: the main window is usable again and lists no Zaltrow.
    EXPECT_TRUE(gui::PumpUntil([&] { return IsWindowEnabled(zaltrow.window) != FALSE; }, 5000));
    gui::PumpFor(500);
    EXPECT_TRUE(IsWindowEnabled(zaltrow.window));
    EXPECT_EQ(zaltrow.Row("Zaltrow 1.2"), -1);
    gui::PressButton(zaltrow.window, IDCANCEL);
    EXPECT_EQ(zaltrow.WaitForExit(10000), 0u);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(SetupTest, UpgradeRoundTripReplaces12With13) {
    const std::string newSetup = FileBytes(SetupBesideTests(ZALTROW_NEW_SETUP_FROM_TESTS));
    ASSERT_GT(newSetup.size(), 100000u);
    // "<!-- UPGRADE Signature" and the signature, from tools/sign-upgrade.sh.
    const std::string signature = FileBytes(SetupBesideTests(ZALTROW_NEW_SETUP_FROM_TESTS) + ".page-lines");
    ASSERT_EQ(signature.rfind("<!-- UPGRADE Signature", 0), 0u);
    LoopbackHttpServer server(
        [&](LoopbackHttpServer::Exchange& exchange) {
            if (exchange.request.target == "/zaltrow_upgrade_check.html") {
                exchange.Send(LoopbackHttpServer::Reply(
                    200, "<html><body>\r\n<!-- UPGRADE Version\r\n1.3\r\n-->\r\n<!-- UPGRADE Description\r\n"
                         "Zaltrow 1.3.\r\nEND UPGRADE Description -->\r\n<!-- UPGRADE Download Link\r\n" +
                             exchange.request.Header("Host").insert(0, "http://") + "/Zaltrow-1.3-Setup.exe\r\n-->\r\n" +
                             signature + "-->\r\n</body></html>\r\n",
                    "Content-Type: text/html\r\n"));
            } else if (exchange.request.target == "/Zaltrow-1.3-Setup.exe") {
                exchange.Send(LoopbackHttpServer::Reply(200, newSetup, "Content-Type: application/octet-stream\r\n"));
            } else {
                exchange.Send(LoopbackHttpServer::Reply(404, "<html>not here</html>"));
            }
        },
        ZALTROW_ROUNDTRIP_PORT);

    ASSERT_EQ(InstallSilently(SetupBesideTests(ZALTROW_OLD_SETUP_FROM_TESTS)).exitCode, 0u);
    RunningZaltrow zaltrow(Installed("Zaltrow 1.2.exe"));
    ASSERT_NE(zaltrow.window, nullptr);
    const auto start = std::chrono::steady_clock::now();
    gui::PressButton(zaltrow.window, 1006);  // Upgrade
    HWND check = gui::WaitForWindow(zaltrow.Pid(), "#32770", "Check for Upgrade", 10000);
    ASSERT_NE(check, nullptr);
    gui::PressButton(check, IDOK);
    HWND offer = gui::WaitForWindow(zaltrow.Pid(), "#32770", "A new upgrade is available.", 15000);
    ASSERT_NE(offer, nullptr);
    gui::PressButton(offer, IDYES);

    // The new setup runs with its pages, as a person sees it: Install, then Close.
    int presses = 0;
    while (zaltrow.WaitForExit(100) == STILL_ACTIVE &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
        HWND setup = FindForeignDialog(
            zaltrow.Pid(), [](HWND window) { return gui::Text(window).rfind("Zaltrow 1.3 Setup", 0) == 0; });
        if (setup && IsWindowEnabled(GetDlgItem(setup, IDOK))) {
            gui::PressButton(setup, IDOK);
            ++presses;
            Sleep(300);
        }
    }
    const DWORD status = zaltrow.WaitForExit(0);
    std::printf("round trip, Upgrade to the end of the program: %.2f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(presses, 2);

    EXPECT_EQ(ZaltrowEntries(), std::vector<std::string>{"Zaltrow"});
    EXPECT_EQ(ReadText(kEntry, "DisplayVersion"), "1.3");
    EXPECT_EQ(ReadText(kEntry, "DisplayName"), "Zaltrow 1.3");
    EXPECT_FALSE(Exists(Installed("NewUpdate.exe")));
    EXPECT_TRUE(Exists(Installed("Zaltrow 1.3.exe")));
    EXPECT_TRUE(Exists(Installed("unins000.exe")));
    EXPECT_EQ(ReadShortcut(ShortcutFile()).target, Installed("Zaltrow 1.3.exe"));

    // The old program's file was in use while it was uninstalled: it goes
    // at the next restart, and the restart leaves the new version whole.
    if (Exists(Installed("Zaltrow 1.2.exe"))) {
        EXPECT_TRUE(IsPending(Installed("Zaltrow 1.2.exe")));
    }
    EXPECT_FALSE(IsPending(Installed("unins000.exe")));
    EXPECT_FALSE(IsPending(Installed("Zaltrow 1.3.exe")));
    Restart();
    EXPECT_FALSE(Exists(Installed("Zaltrow 1.2.exe")));
    for (const char* name : {"Zaltrow 1.3.exe", "centerimage.bmp", "unins000.exe"})
        EXPECT_TRUE(Exists(Installed(name))) << name;

    RunningZaltrow upgraded(Installed("Zaltrow 1.3.exe"));
    ASSERT_NE(upgraded.list, nullptr);
    const int row = upgraded.Row("Zaltrow 1.3");
    ASSERT_GE(row, 0);
    EXPECT_EQ(gui::RemoteItemData(upgraded.list, row), 0);
}

}  // namespace
