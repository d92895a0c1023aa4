// Zaltrow's setup and uninstaller for real in the test prefix: the silent
// install and uninstall, the uninstall started from Zaltrow's own list, a
// stray uninstaller copy, the setup's machine type, and the upgrade from
// 1.2 to 1.3 through an upgrade page on 127.0.0.1, also with a setup that
// fails.

#include <winsock2.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "LoopbackHttpServer.h"
#include "RegistryPaths.h"
#include "TempFolder.h"
#include "framework/AdminNamespace.h"
#include "framework/UniqueHandle.h"
#include "ThisProgram.h"

namespace {

const std::string kEntry = kUninstall + "\\Zaltrow";
const char* kSessionManager = "System\\CurrentControlSet\\Control\\Session Manager";
const char* kSettings = "Software\\Zaltrow";
// The list's picture for each display scale, beside the program.
const std::vector<std::string> kPictures{"centerimage-125.bmp", "centerimage-150.bmp", "centerimage-200.bmp",
                                         "centerimage.bmp"};

// Every file the setup installs with `program`, in FilesIn's order.
std::vector<std::string> InstalledFiles(const std::string& program) {
    std::vector<std::string> files = kPictures;
    files.insert(files.end(), {program, "unins000.exe", "zaltrow.exe"});
    std::sort(files.begin(), files.end());
    return files;
}

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

// The first visible window of process `pid` that `accept` (if given) takes.
struct OwnSearch {
    DWORD pid;
    bool (*accept)(HWND);
    HWND found = nullptr;
};
BOOL CALLBACK VisitOwn(HWND window, LPARAM parameter) {
    auto& s = *reinterpret_cast<OwnSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s.pid && IsWindowVisible(window) && (!s.accept || s.accept(window))) s.found = window;
    return s.found == nullptr;
}
HWND VisibleWindowOf(DWORD pid, bool (*accept)(HWND) = nullptr) {
    OwnSearch search{pid, accept};
    EnumWindows(&VisitOwn, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
bool HasVisibleWindow(DWORD pid) { return VisibleWindowOf(pid) != nullptr; }

// The process that started process `pid`; 0 when it is not found.
DWORD ParentOf(DWORD pid) {
    fw::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ProcessID == pid) return entry.th32ParentProcessID;
    return 0;
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

// Zaltrow started from the install folder, as the shortcut starts it;
// with `rights`, the rights aid set to that.
class RunningZaltrow {
public:
    explicit RunningZaltrow(const std::string& program, const std::string& workingFolder = {},
                            const char* rights = nullptr) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + program + "\"";
        const std::string folder = workingFolder.empty() ? program.substr(0, program.rfind('\\')) : workingFolder;
        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", rights);
        const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                            folder.c_str(), &startup, &process_);
        SetEnvironmentVariableA("ZALTROW_TEST_RIGHTS", nullptr);
        if (!started) return;
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

std::vector<std::string> FilesIn(const std::string& folder);

class SetupTest : public testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        settingsExisted_ = RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (key) RegCloseKey(key);
        RemoveAllTraces();  // first: the uninstaller removes the settings key
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettings, "bDisableSplash", REG_SZ, "1", 2);
    }
    void TearDown() override {
        RemoveAllTraces();
        if (!customFolder_.empty()) {
            for (const std::string& name : FilesIn(customFolder_)) DeleteFileA((customFolder_ + "\\" + name).c_str());
            RemoveDirectoryA(customFolder_.c_str());
        }
        if (!keptFolder_.empty()) {
            for (const std::string& name : FilesIn(keptFolder_)) DeleteFileA((keptFolder_ + "\\" + name).c_str());
            RemoveDirectoryA(keptFolder_.c_str());
        }
        if (!settingsExisted_) RegDeleteTreeA(HKEY_CURRENT_USER, kSettings);
    }

    std::string customFolder_;  // a folder the test installed into
    std::string keptFolder_;    // a download the upgrade kept

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
    for (const std::string& name : InstalledFiles("Zaltrow 1.2.exe")) {
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
    EXPECT_FALSE(Exists(Installed("zaltrow.exe")));
    for (const std::string& picture : kPictures) EXPECT_FALSE(Exists(Installed(picture))) << picture;
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
    HWND waitDialog = nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (answered < 2 && std::chrono::steady_clock::now() < deadline) {
        if (HWND box = FindForeignDialog(zaltrow.Pid(), &gui::IsMessageBox)) {
            const bool question = GetDlgItem(box, IDYES) != nullptr;
            if (question)
                EnumThreadWindows(GetWindowThreadProcessId(zaltrow.window, nullptr), &VisitForNext,
                                  reinterpret_cast<LPARAM>(&waitDialog));
            gui::PressButton(box, question ? IDYES : IDOK);
            ++answered;
            Sleep(200);
        }
        Sleep(20);
    }
    EXPECT_EQ(answered, 2);
    EXPECT_FALSE(EntryExists());
    EXPECT_NE(waitDialog, nullptr) << "Zaltrow's wait was not there while the uninstaller asked";

    // The wait ends by itself once the uninstaller has; no removal offer:
    // the main window is usable again and lists no Zaltrow.
    EXPECT_TRUE(gui::PumpUntil([&] { return IsWindowEnabled(zaltrow.window) != FALSE; }, 10000));
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

// The upgrade page on 127.0.0.1, as the old build asks for it: the given
// statement lines, with the address of `setup`, served from there.
class UpgradePage {
public:
    UpgradePage(const std::string& statementLines, const std::string& setup)
        : setup_(FileBytes(setup)),
          server_(
              [this, statementLines](LoopbackHttpServer::Exchange& exchange) {
                  if (exchange.request.target == "/zaltrow_upgrade_check.html") {
                      exchange.Send(LoopbackHttpServer::Reply(
                          200,
                          "<html><body>\r\n" + statementLines + "<!-- UPGRADE Statement Download Link\r\nhttp://" +
                              exchange.request.Header("Host") + "/setup.exe\r\n-->\r\n</body></html>\r\n",
                          "Content-Type: text/html\r\n"));
                  } else if (exchange.request.target == "/setup.exe") {
                      exchange.Send(
                          LoopbackHttpServer::Reply(200, setup_, "Content-Type: application/octet-stream\r\n"));
                  } else {
                      exchange.Send(LoopbackHttpServer::Reply(404, "<html>not here</html>"));
                  }
              },
              ZALTROW_ROUNDTRIP_PORT) {}

private:
    std::string setup_;
    LoopbackHttpServer server_;
};

// A visible message box of process `pid`, captioned "Zaltrow".
HWND MessageBoxOf(DWORD pid) {
    return VisibleWindowOf(pid, [](HWND w) { return gui::IsMessageBox(w) && gui::Text(w) == "Zaltrow"; });
}

// Presses Upgrade, OK and Yes in a running Zaltrow, whose check is its own
// or, without administrator rights, its elevated copy's; the message the
// upgrade then shows (from any of that process's windows), not yet answered.
HWND AcceptUpgrade(const RunningZaltrow& zaltrow, DWORD* upgraderPid = nullptr) {
    gui::PressButton(zaltrow.window, 1006);  // Upgrade
    HWND check = nullptr;
    gui::PumpUntil([&] {
        check = FindForeignDialog(0, [](HWND w) { return gui::Text(w) == "Check for Upgrade" && GetWindow(w, GW_CHILD); });
        return check != nullptr;
    }, 10000);
    if (!check) return nullptr;
    DWORD upgrader = 0;
    GetWindowThreadProcessId(check, &upgrader);
    if (upgraderPid) *upgraderPid = upgrader;
    gui::PressButton(check, IDOK);
    HWND offer = gui::WaitForWindow(upgrader, "#32770", "A new upgrade is available.", 15000);
    if (!offer) return nullptr;
    gui::PressButton(offer, IDYES);
    // Its text is there a moment after the box.
    HWND box = nullptr;
    gui::PumpUntil([&] { return (box = MessageBoxOf(upgrader)) != nullptr && !gui::ItemText(box, 0xFFFF).empty(); },
                   60000);
    return box;
}

// A folder's files, by name.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA file;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &file);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
        if (!(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(file.cFileName);
    while (FindNextFileA(find, &file));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// From a folder of the user's choice, started from a foreign working
// folder where an "unins000.exe" and a "NewUpdate.exe" stand, without
// administrator rights (its elevated copy upgrades): 1.3 lands in the same
// folder and starts, 1.2's window ends, 1.2 leaves no file and no entry,
// and nothing from the working folder runs.
TEST_F(SetupTest, UpgradeRoundTripFromACustomFolderAndAForeignWorkingFolder) {
    const std::string setup = SetupBesideTests(ZALTROW_NEW_SETUP_FROM_TESTS);
    const std::string lines = FileBytes(setup + ".page-lines");
    ASSERT_EQ(lines.rfind("<!-- UPGRADE Statement\n", 0), 0u);
    UpgradePage page(lines, setup);

    const std::string folder = Folder(CSIDL_WINDOWS).substr(0, 3) + "Tools\\Zaltrow";
    customFolder_ = folder;
    const std::string oldSetup = SetupBesideTests(ZALTROW_OLD_SETUP_FROM_TESTS);
    ASSERT_EQ(RunAndWait(oldSetup, "\"" + oldSetup + "\" /S /D=" + folder).exitCode, 0u);
    ASSERT_EQ(ReadText(kEntry, "InstallLocation"), folder);
    TempFolder foreign;
    for (const char* name : {"unins000.exe", "NewUpdate.exe"})
        ASSERT_TRUE(CopyFileA(BesideThisProgram("planted_program.exe").c_str(), foreign.Join(name).c_str(), FALSE));

    RunningZaltrow zaltrow(folder + "\\Zaltrow 1.2.exe", foreign.Path(), "standard");
    ASSERT_NE(zaltrow.window, nullptr);
    const auto start = std::chrono::steady_clock::now();
    DWORD upgrader = 0;
    HWND done = AcceptUpgrade(zaltrow, &upgrader);
    ASSERT_NE(done, nullptr);
    EXPECT_NE(upgrader, zaltrow.Pid()) << "an elevated copy upgrades";
    EXPECT_EQ(gui::ItemText(done, 0xFFFF), "Zaltrow 1.3 is now installed in\n" + folder + "\n\nIt starts now.");
    gui::PressButton(done, IDOK);
    EXPECT_EQ(zaltrow.WaitForExit(20000), 0u) << "the window ends once its copy has upgraded";
    std::printf("round trip, Upgrade to the end of the old program: %.2f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());

    // The new version runs, started by the old one from the same folder.
    HWND upgraded = nullptr;
    gui::PumpUntil(
        [&] {
            upgraded = FindForeignDialog(zaltrow.Pid(), [](HWND w) {
                return gui::Text(w) == "Zaltrow" && GetDlgItem(w, 1000) != nullptr;  // the main window's list
            });
            return upgraded != nullptr;
        },
        15000);
    ASSERT_NE(upgraded, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(upgraded, &pid);
    fw::KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid));
    char image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameA(process.get(), 0, image, &size);
    EXPECT_EQ(std::string(image), folder + "\\Zaltrow 1.3.exe");
    EXPECT_NE(ParentOf(pid), upgrader) << "the desktop shell started it, not the elevated copy";
    gui::PressButton(upgraded, IDCANCEL);
    WaitForSingleObject(process.get(), 10000);

    EXPECT_EQ(ZaltrowEntries(), std::vector<std::string>{"Zaltrow"});
    EXPECT_EQ(ReadText(kEntry, "DisplayVersion"), "1.3");
    EXPECT_EQ(ReadText(kEntry, "InstallLocation"), folder);
    EXPECT_EQ(ReadShortcut(ShortcutFile()).target, folder + "\\Zaltrow 1.3.exe");
    EXPECT_FALSE(Exists(InstallFolder())) << "nothing went to Program Files";
    EXPECT_TRUE(FilesIn(foreign.Path()) == (std::vector<std::string>{"NewUpdate.exe", "unins000.exe"}))
        << "nothing in the working folder ran";
    // The old program's file was in use while 1.3 was installed: it goes
    // at once or, where the system keeps a running program's file, at the
    // next restart, which leaves the new version whole.
    if (Exists(folder + "\\Zaltrow 1.2.exe")) {
        EXPECT_TRUE(IsPending(folder + "\\Zaltrow 1.2.exe"));
    }
    EXPECT_FALSE(IsPending(folder + "\\unins000.exe"));
    EXPECT_FALSE(IsPending(folder + "\\Zaltrow 1.3.exe"));
    Restart();
    EXPECT_EQ(FilesIn(folder), InstalledFiles("Zaltrow 1.3.exe"));
}

// A setup that fails (here it ends with 1, as a cancelled one does): the
// installed copy is untouched and still starts, the user is told, and the
// proven setup is kept where the message says.
TEST_F(SetupTest, FailingSetupLeavesTheInstalledCopyWorkingAndKeepsTheDownload) {
    const std::string failing = BesideThisProgram("planted_program.exe");
    UpgradePage page(FileBytes(failing + ".page-lines"), failing);
    ASSERT_EQ(InstallSilently(SetupBesideTests(ZALTROW_OLD_SETUP_FROM_TESTS)).exitCode, 0u);
    const std::vector<std::string> installed = FilesIn(InstallFolder());
    {
        RunningZaltrow zaltrow(Installed("Zaltrow 1.2.exe"));
        ASSERT_NE(zaltrow.window, nullptr);
        HWND failed = AcceptUpgrade(zaltrow);
        ASSERT_NE(failed, nullptr);
        const std::string text = gui::ItemText(failed, 0xFFFF);
        EXPECT_EQ(text.rfind("The upgrade to Zaltrow 1.3 could not be installed: its setup ended with code 1.\n\n"
                             "Zaltrow 1.2 is still installed and works as before.", 0),
                  0u)
            << text;
        const std::string marker = "is kept in\n";
        const std::size_t at = text.find(marker);
        ASSERT_NE(at, std::string::npos) << text;
        const std::string kept = text.substr(at + marker.size(), text.find('\n', at + marker.size()) - at - marker.size());
        keptFolder_ = kept;
        EXPECT_EQ(FileBytes(kept + "\\Zaltrow-1.3" + (sizeof(void*) == 8 ? "-x64" : "") + "-Setup.exe"),
                  FileBytes(failing));
        gui::PressButton(failed, IDOK);
        EXPECT_EQ(zaltrow.WaitForExit(1000), STILL_ACTIVE) << "the installed copy keeps running";
    }
    EXPECT_EQ(ReadText(kEntry, "DisplayVersion"), "1.2");
    EXPECT_EQ(FilesIn(InstallFolder()), installed);
    RunningZaltrow again(Installed("Zaltrow 1.2.exe"));
    EXPECT_NE(again.list, nullptr) << "the installed copy starts";
}

// A copy of the uninstaller beside another "Zaltrow 1.2.exe" removes
// neither the real install's entry and shortcut nor its own folder's files.
TEST_F(SetupTest, StrayUninstallerCopyLeavesTheRealInstallAlone) {
    ASSERT_EQ(InstallSilently(SetupBesideTests(ZALTROW_SETUP_FROM_TESTS)).exitCode, 0u);
    TempFolder stray;
    for (const char* name : {"unins000.exe", "Zaltrow 1.2.exe"})
        ASSERT_TRUE(CopyFileA(Installed(name).c_str(), stray.Join(name).c_str(), FALSE));
    const Finished run = RunAndWait(stray.Join("unins000.exe"), "unins000.exe /SILENT", stray.Path());
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_TRUE(EntryExists());
    EXPECT_EQ(ReadText(kEntry, "InstallLocation"), InstallFolder());
    EXPECT_TRUE(Exists(ShortcutFile()));
    for (const std::string& name : InstalledFiles("Zaltrow 1.2.exe")) EXPECT_TRUE(Exists(Installed(name))) << name;
    EXPECT_TRUE(Exists(stray.Join("Zaltrow 1.2.exe")));
}

// Owner, group and rights of a file or folder as SDDL; empty if unreadable.
std::string SecurityOf(const std::string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                              OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    char* text = nullptr;
    std::string sddl;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorA(
            descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
            &text, nullptr)) {
        sddl = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return sddl;
}

void DeleteTree(const std::string& folder) {
    for (const std::string& name : FilesIn(folder)) DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

// Runs a Unix program (Wine starts one named by its Unix path) and waits,
// at most 10 s, until `done` holds: Wine gives no handle to wait on.
bool RunUnix(std::string command, bool (*done)(const std::string&), const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    for (int i = 0; i < 200 && !done(path); ++i) Sleep(50);
    return done(path);
}
std::string UnixName(const std::string& path) {
    using Convert = char*(CDECL*)(const WCHAR*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = convert ? convert(wide) : nullptr;
    if (!name) return {};
    std::string unix = name;
    HeapFree(GetProcessHeap(), 0, name);
    return unix;
}
bool IsLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
// A link at `link` to folder `target`: under Wine a Unix symbolic link, which
// it shows as a reparse point, as Windows shows a junction.
bool PlantLink(const std::string& link, const std::string& target) {
    const std::string from = UnixName(link), to = UnixName(target);
    if (from.empty() || to.empty()) return CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    return RunUnix("/bin/ln -sfn \"" + to + "\" \"" + from + "\"", IsLink, link);
}
void RemoveLink(const std::string& link) {
    if (!IsLink(link)) return;
    if (RemoveDirectoryA(link.c_str()) || !IsLink(link)) return;
    const std::string unix = UnixName(link);
    if (!unix.empty()) RunUnix("/bin/rm -f \"" + unix + "\"", [](const std::string& p) { return !IsLink(p); }, link);
}

// The setup's and uninstaller's guards, each from a fresh 1.2 install
// (`installedAs` rewrites its registered version, "" leaves it; `custom`
// installs into a folder outside Program Files) and then one more run of
// the setup or the uninstaller with `arguments`, its exit code, and what
// must hold afterwards.
enum class Lock { None, Held, OldGlobalName };
// What stands in the setup's or the uninstaller's way: a file of someone
// else's in the install folder, or a link (to `target`) as the install
// folder, above it, or as a download folder.
enum class Plant { Nothing, StrangersFile, LinkAsFolder, LinkAbove, LinkAsDownload };

TEST_F(SetupTest, SetupAndUninstallerGuards) {
    const std::string kFolderRights =
        "O:BAG:SYD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";  // as Setup.nsi applies it
    const std::string programData = Folder(CSIDL_COMMON_APPDATA);
    const std::string download = programData + "\\Zaltrow upgrade 1.3 5e1f09a2c4";
    const std::string backups = programData + "\\Zaltrow\\Removed";
    const std::string custom = Folder(CSIDL_WINDOWS).substr(0, 3) + "Guarded\\Zaltrow";
    const std::string linked = Folder(CSIDL_WINDOWS).substr(0, 3) + "Guarded\\Linked";
    const std::string target = Folder(CSIDL_WINDOWS).substr(0, 3) + "Guarded\\Target";
    struct Case {
        const char* name;
        bool custom;
        const char* installedAs;
        Lock lock;
        bool uninstall;  // else the setup runs again
        bool dropEntry;
        const char* arguments;
        DWORD exitCode;
        const char* versionAfter;  // "<absent>": no entry
        bool programAfter;
        Plant plant = Plant::Nothing;
    };
    const Case cases[] = {
        {"custom folder gets rights", true, "", Lock::None, false, false, "/S", 0, "1.2", true},
        {"Program Files keeps its own", false, "", Lock::None, false, false, "/S", 0, "1.2", true},
        {"second setup", false, "1.1", Lock::Held, false, false, "/S", 3, "1.1", true},
        {"second uninstaller", false, "", Lock::Held, true, false, "/SILENT", 3, "1.2", true},
        {"newer installed", false, "1.10", Lock::None, false, false, "/S", 4, "1.10", true},
        {"newer, allowed", false, "1.10", Lock::None, false, false, "/S /ALLOWDOWNGRADE", 0, "1.2", true},
        {"same as 1.2.0", false, "1.2.0", Lock::None, false, false, "/S", 0, "1.2", true},
        {"uninstall after the entry is gone", false, "", Lock::None, true, true, "/SILENT", 0, "<absent>", false},
        // The name every user could make first no longer locks anyone out.
        {"squatter on the old global name", false, "", Lock::OldGlobalName, false, false, "/S", 0, "1.2", true},
        {"custom folder holding another's file", true, "", Lock::None, false, false, "/S", 5, "1.2", true,
         Plant::StrangersFile},
        {"custom folder that is a link", false, "", Lock::None, false, false, "/S /D=", 5, "1.2", true,
         Plant::LinkAsFolder},
        {"custom folder under a link", false, "", Lock::None, false, false, "/S /D=", 5, "1.2", true,
         Plant::LinkAbove},
        {"download folder that is a link", false, "", Lock::None, true, false, "/SILENT", 0, "<absent>", false,
         Plant::LinkAsDownload},
    };
    const std::string setup = SetupBesideTests(ZALTROW_SETUP_FROM_TESTS);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveAllTraces();
        const std::string folder = c.custom ? custom : InstallFolder();
        customFolder_ = c.custom ? custom : "";
        ASSERT_EQ(RunAndWait(setup, "\"" + setup + "\" /S" + (c.custom ? " /D=" + custom : "")).exitCode, 0u);
        if (*c.installedAs)
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEntry.c_str(), "DisplayVersion", REG_SZ, c.installedAs,
                            static_cast<DWORD>(std::strlen(c.installedAs) + 1));
        if (c.dropEntry) RegDeleteTreeA(HKEY_LOCAL_MACHINE, kEntry.c_str());
        std::string arguments = c.arguments;
        if (c.plant != Plant::Nothing && c.plant != Plant::StrangersFile) {
            CreateDirectoryA(target.c_str(), nullptr);
            std::ofstream(target + "\\victim.txt") << "not the uninstaller's";
            ASSERT_TRUE(PlantLink(c.plant == Plant::LinkAsDownload ? download : linked, target));
            if (c.plant == Plant::LinkAsFolder) arguments += linked;
            if (c.plant == Plant::LinkAbove) arguments += linked + "\\Zaltrow";
        }
        if (c.plant == Plant::StrangersFile) std::ofstream(custom + "\\notes.txt") << "a user's";
        CreateDirectoryA(download.c_str(), nullptr);
        std::ofstream(download + "\\Zaltrow-1.3-Setup.exe") << "kept";
        SHCreateDirectoryExA(nullptr, backups.c_str(), nullptr);
        std::ofstream(backups + "\\entry.reg") << "backup";
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettings, "bDisableSplash", REG_SZ, "1", 2);

        // The lock as the setups take it: in the administrators' namespace
        // where there is one, else the global fallback.
        const fw::AdminNamespace names(L"Zaltrow");
        const std::wstring lockName =
            c.lock == Lock::OldGlobalName ? L"Global\\ZaltrowSetupOrUninstall" : names.ObjectName(L"SetupOrUninstall");
        fw::KernelHandle mutex(c.lock != Lock::None ? CreateMutexW(nullptr, FALSE, lockName.c_str()) : nullptr);
        const std::string program = c.uninstall ? folder + "\\unins000.exe" : setup;
        const Finished run = RunAndWait(program, "\"" + program + "\" " + arguments, c.uninstall ? folder : "");
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.showedWindow);
        EXPECT_EQ(ReadText(kEntry, "DisplayVersion"), c.versionAfter);
        EXPECT_EQ(Exists(folder + "\\Zaltrow 1.2.exe"), c.programAfter);
        EXPECT_EQ(Exists(ShortcutFile()), c.programAfter);
        const bool removed = c.uninstall && c.exitCode == 0;
        EXPECT_EQ(Exists(download), !removed || c.plant == Plant::LinkAsDownload);
        if (c.plant == Plant::StrangersFile) {
            EXPECT_TRUE(Exists(custom + "\\notes.txt"));
        }
        if (c.plant != Plant::Nothing && c.plant != Plant::StrangersFile) {
            EXPECT_TRUE(Exists(target + "\\victim.txt")) << "nothing was deleted through the link";
            EXPECT_FALSE(Exists(target + "\\Zaltrow 1.2.exe")) << "nothing was installed through the link";
            EXPECT_FALSE(Exists(target + "\\Zaltrow")) << "nothing was installed through the link";
        }
        HKEY settings = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &settings) == ERROR_SUCCESS, !removed);
        if (settings) RegCloseKey(settings);
        EXPECT_TRUE(Exists(backups + "\\entry.reg")) << "backups are never deleted";
        // Wine keeps a descriptor only as owner, group and world mode bits:
        // there kFolderRights reads back as no entry for everyone.
        const std::string rights = SecurityOf(folder);
        const bool everyone = rights.find(";;;WD)") != std::string::npos || rights.find(";;;AU)") != std::string::npos;
        if (c.custom) {
            EXPECT_TRUE(rights == kFolderRights || (!rights.empty() && !everyone)) << rights;
        } else if (c.programAfter) {  // inherited from Program Files, which lets users read
            EXPECT_TRUE(rights.find("D:P") == std::string::npos && (everyone || rights.find(";;;BU)") != std::string::npos))
                << rights;
        }

        RemoveLink(download);
        RemoveLink(linked);
        DeleteTree(target);
        DeleteTree(download);
        DeleteTree(backups);
        if (c.custom) DeleteTree(custom);
    }
    RemoveDirectoryA(custom.substr(0, custom.rfind('\\')).c_str());
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettings, "bDisableSplash", REG_SZ, "1", 2);
}

// The setup the build made is a program of the build's own machine: the
// x86_64 one an AMD64 program, so it runs where no 32-bit code does.
TEST_F(SetupTest, SetupIsAProgramOfTheBuildsMachine) {
    const std::string setup = FileBytes(SetupBesideTests(ZALTROW_SETUP_FROM_TESTS));
    ASSERT_GT(setup.size(), 0x40u);
    const std::uint32_t pe = *reinterpret_cast<const std::uint32_t*>(setup.data() + 0x3C);
    ASSERT_LT(pe + 6, setup.size());
    ASSERT_EQ(setup.substr(pe, 4), std::string("PE\0\0", 4));
    const std::uint16_t machine = *reinterpret_cast<const std::uint16_t*>(setup.data() + pe + 4);
#ifdef _WIN64
    EXPECT_EQ(machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_NE(std::string(ZALTROW_SETUP_FROM_TESTS).find("-x64-Setup.exe"), std::string::npos);
#else
    EXPECT_EQ(machine, IMAGE_FILE_MACHINE_I386);
#endif
}

}  // namespace
