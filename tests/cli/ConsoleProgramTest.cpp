// The real zaltrow.exe, started as a process of its own in the prefix that
// is the console program's alone (see CMakeLists.txt), on entries seeded
// there: what each verb prints, the exit code it ends with, and what it
// leaves in the registry and the backup folders. One table per kind of
// work: reading, changing, undoing.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "BuildConfig.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "framework/RegistryKey.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"
#include "inventory/BatchUninstall.h"
#include "inventory/ElevatedHandOff.h"
#include "inventory/EntryJudgement.h"
#include "inventory/ProgramInventory.h"
#include "inventory/UninstallerProbe.h"
#include "inventory/ResultLine.h"

namespace {

const std::wstring kUninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::wstring kArpCache = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";
// A second signed-in user; its hive lasts as long as the prefix's server.
const std::wstring kOtherSid = L"S-1-5-21-1111-2222-3333-1001";
// The machine list this build sees as its own.
const std::wstring M = sizeof(void*) == 8 ? L"machine-64" : L"machine-32";

std::wstring W(const std::string& text) { return fw::Widen(text); }

std::string Bytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Ran {
    DWORD exit = 0xFFFFFFFF;
    std::wstring out, err;
};

// Runs `command` to its end, its output and errors into the handles given;
// its exit code (a failure to start is one).
DWORD RunProcess(std::wstring command, HANDLE out = nullptr, HANDLE err = nullptr) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = out ? STARTF_USESTDHANDLES : 0;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, out != nullptr, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << command << ": " << GetLastError();
        return WAIT_FAILED;
    }
    const fw::KernelHandle owned(process.hProcess), thread(process.hThread);
    DWORD code = WAIT_TIMEOUT;
    if (WaitForSingleObject(owned.get(), 120000) == WAIT_OBJECT_0) GetExitCodeProcess(owned.get(), &code);
    return code;
}

// zaltrow.exe `args`, its output and errors read as the UTF-8 they must
// be; `rights` is the test aid's value (null: none).
Ran Zaltrow(const std::wstring& args, const wchar_t* rights = nullptr, std::wstring outFile = L"") {
    const TempFolder files;
    if (outFile.empty()) outFile = W(files.Join("out.txt"));
    const std::wstring errFile = W(files.Join("err.txt"));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Ran run;
    {
        // Readable while another holds them: Wine hands a program's standard
        // handles on to what it starts, inheritable or not, and an
        // uninstaller left running keeps them.
        constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        const fw::FileHandle out(CreateFileW(outFile.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
        const fw::FileHandle err(CreateFileW(errFile.c_str(), GENERIC_WRITE, share, &inherit, CREATE_ALWAYS, 0, nullptr));
        SetEnvironmentVariableW(L"ZALTROW_TEST_RIGHTS", rights);
        run.exit = RunProcess(L"\"" + W(BesideThisProgram(ZALTROW_CONSOLE_FROM_TESTS)) + L"\" " + args, out.get(), err.get());
        SetEnvironmentVariableW(L"ZALTROW_TEST_RIGHTS", nullptr);
    }
    EXPECT_TRUE(fw::FromUtf8(Bytes(outFile), run.out)) << "standard output is not UTF-8";
    EXPECT_TRUE(fw::FromUtf8(Bytes(errFile), run.err)) << "standard error is not UTF-8";
    return run;
}

// A table's columns as " | ": every run of two or more blanks is one.
std::wstring Columns(const std::wstring& text) { return std::regex_replace(text, std::wregex(L"  +"), L" | "); }

std::wstring LastLine(std::wstring text) {
    if (text.ends_with(L"\r\n")) text.resize(text.size() - 2);
    const std::size_t end = text.rfind(L"\r\n");
    return end == std::wstring::npos ? text : text.substr(end + 2);
}

// Backslashes as JSON writes them.
std::wstring Json(std::wstring text) {
    for (std::size_t at = 0; (at = text.find(L'\\', at)) != std::wstring::npos; at += 2) text.insert(at, L"\\");
    return text;
}

void SetValue(HKEY key, const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)), ERROR_SUCCESS);
}
void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    SetValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}
void SetNumber(HKEY key, const wchar_t* name, DWORD number) { SetValue(key, name, REG_DWORD, &number, sizeof number); }

// Entries written straight into the prefix's lists (HKEY_USERS: the second
// user's), each taken out again at the end with whatever was made of it.
class Seeded {
public:
    ~Seeded() {
        for (const auto& [root, path] : keys_) RegDeleteTreeW(root, path.c_str());
        RegDeleteTreeW(HKEY_USERS, kOtherSid.c_str());
    }
    fw::RegKey Entry(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& command) {
        const std::wstring user = root == HKEY_USERS ? kOtherSid + L"\\" : L"";
        keys_.push_back({root, user + kUninstall + key});
        keys_.push_back({root, user + kArpCache + key});
        fw::RegKey entry = fw::CreateRegKey(root, user + kUninstall + key, KEY_ALL_ACCESS);
        SetText(entry.get(), L"DisplayName", name);
        SetText(entry.get(), L"UninstallString", command);
        return entry;
    }
    static bool Listed(HKEY root, const std::wstring& key) {
        return static_cast<bool>(fw::OpenRegKey(root, kUninstall + key, KEY_READ));
    }

private:
    std::vector<std::pair<HKEY, std::wstring>> keys_;
};

// One run of the program and what must hold after it.
struct Step {
    const wchar_t* rights;
    std::wstring args;
    DWORD exit;
    // In its output (tables as Columns), errors or --result file; "!..." must not be.
    std::vector<std::wstring> shown = {};
    std::wstring lastLine = L"";           // of its output; empty: not looked at
    std::function<void()> after = {};
};

void RunSteps(const std::vector<Step>& steps, const std::wstring& resultFile = L"",
              const std::wstring& saveOutputAs = L"") {
    for (const Step& step : steps) {
        SCOPED_TRACE(step.args);
        DeleteFileW(resultFile.c_str());
        const Ran run = Zaltrow(step.args, step.rights, step.args.find(L"--json") != std::wstring::npos ? saveOutputAs : L"");
        EXPECT_EQ(run.exit, step.exit) << run.out << run.err;
        std::wstring seen = Columns(run.out + run.err);
        if (std::wstring result; fw::FromUtf8(Bytes(resultFile), result)) seen += result;
        for (const std::wstring& part : step.shown) {
            const bool absent = part.starts_with(L'!');
            EXPECT_EQ(seen.find(part.substr(absent)) == std::wstring::npos, absent) << part << L"\nin:\n" << seen;
        }
        if (!step.lastLine.empty()) {
            EXPECT_EQ(LastLine(run.out), step.lastLine);
        }
        if (step.after) step.after();
    }
}

TEST(ConsoleProgram, Reading) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring folder = W(files.Path()) + L"\\Live";
    const std::wstring present = W(files.WriteFile("Live\\unins000.exe"));
    const std::wstring gone = W(files.Join("Gone\\unins000.exe"));
    const std::wstring orphan = ZALTROW_TEST_ORPHAN_PRODUCT;
    {
        const fw::RegKey live = seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Live", L"ZCLI Live", L"\"" + present + L"\" /S");
        SetText(live.get(), L"Publisher", L"Quorvane, Tests");
        SetText(live.get(), L"DisplayVersion", L"2.1");
        SetText(live.get(), L"InstallLocation", folder);
    }
    seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Gone", L"ZCLI Gone", gone);
    SetNumber(seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Component", L"ZCLI Component", gone).get(), L"SystemComponent", 1);
    seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Лиса", L"ZCLI Лиса", L"\"" + present + L"\"");
    seeded.Entry(HKEY_CURRENT_USER, L"ZCLI-狐", L"ZCLI 狐の道具", gone);
    seeded.Entry(HKEY_CURRENT_USER, L"ZCLI-Żółw", L"ZCLI Żółw", present);
    seeded.Entry(HKEY_USERS, L"ZCLI-Other", L"ZCLI Other", gone);
    // A Windows Installer orphan: its product installed and uninstalled, its
    // entry put back as failed uninstalls and cleaners leave it.
    ASSERT_EQ(RunProcess(L"msiexec.exe /i \"" + W(BesideThisProgram(ZALTROW_ORPHAN_PACKAGE_FROM_TESTS)) + L"\" /qn"), 0u);
    ASSERT_EQ(RunProcess(L"msiexec.exe /x " + orphan + L" /qn"), 0u);
    SetNumber(seeded.Entry(HKEY_LOCAL_MACHINE, orphan, L"ZaltrowTestOrphan", L"MsiExec.exe /I" + orphan).get(),
              L"WindowsInstaller", 1);

    const std::wstring goneRow = L"phantom | " + M + L" | ZCLI-Gone | ZCLI Gone | The uninstaller is missing: " + gone;
    const std::wstring orphanRow = L"phantom | " + M + L" | " + orphan +
                                   L" | ZaltrowTestOrphan | Windows Installer does not know the product " + orphan;
    const std::wstring foxRow = L"phantom | user | ZCLI-狐 | ZCLI 狐の道具 | The uninstaller is missing: " + gone;
    RunSteps({
        {nullptr, L"list", 0,
         {goneRow, orphanRow, foxRow, L"\nok | " + M + L" | ZCLI-Live | ZCLI Live | 2.1 | Quorvane, Tests\r\n",
          L"\nok | " + M + L" | ZCLI-Лиса | ZCLI Лиса\r\n", L"\nok | user | ZCLI-Żółw | ZCLI Żółw\r\n",
          L"!ZCLI Component", L"!ZCLI Other"},
         L"6 entries listed, 3 phantoms."},
        {nullptr, L"list --phantoms", 0, {goneRow, orphanRow, foxRow}, L"3 entries listed, 3 phantoms."},
        {nullptr, L"list --all-users --json", 0,
         {L"\"leftOut\": 0,",
          L"{\"list\": \"" + M + L"\", \"user\": null, \"key\": \"ZCLI-Live\", \"name\": \"ZCLI Live\", "
          L"\"publisher\": \"Quorvane, Tests\", \"version\": \"2.1\", \"installLocation\": \"" + Json(folder) +
              L"\", \"uninstallString\": \"\\\"" + Json(present) + L"\\\" /S\", \"quietUninstallString\": null, "
              L"\"productCode\": null, \"phantom\": false, \"reason\": null, \"installDate\": null, \"estimatedSizeKB\": null, "
              L"\"quietUninstall\": null, \"quietUninstallFoundBy\": null}",
          L"\"uninstallString\": \"MsiExec.exe /I" + orphan + L"\", \"quietUninstallString\": null, \"productCode\": \"" +
              orphan + L"\", \"phantom\": true, \"reason\": \"Windows Installer does not know the product " + orphan,
          L"{\"list\": \"user:" + kOtherSid + L"\", \"user\": \"" + kOtherSid + L"\", \"key\": \"ZCLI-Other\"",
          L"{\"list\": \"user\", \"user\": \"S-1-5-21-", L"\"key\": \"ZCLI-狐\", \"name\": \"ZCLI 狐の道具\""},
         L"}"},
        {nullptr, L"list --csv", 0,
         {L"\xFEFFlist,user,key,name,publisher,version,installLocation,uninstallString,quietUninstallString,"
          L"productCode,phantom,reason,installDate,estimatedSizeKB,quietUninstall,quietUninstallFoundBy\r\n",
          L"\r\n" + M + L",,ZCLI-Live,ZCLI Live,\"Quorvane, Tests\",2.1," + folder + L",\"\"\"" + present +
              L"\"\" /S\",,,false,,,,,\r\n",
          L",ZCLI-Лиса,ZCLI Лиса,"}},
        {nullptr, L"check", 1, {goneRow, orphanRow, foxRow}, L"3 phantom entries among 6 entries listed."},
        {nullptr, L"check --all-users", 1, {L"phantom | user:" + kOtherSid + L" | ZCLI-Other | ZCLI Other"},
         L"4 phantom entries among 7 entries listed."},
        {nullptr, L"help", 0, {L"zaltrow clean [--dry-run]", L"5 | administrator rights needed"}},
    }, L"", W(BesideThisProgram("list-all-users.json")));
}

TEST(ConsoleProgram, Changing) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring present = W(files.WriteFile("Live\\unins000.exe"));
    const std::wstring gone = W(files.Join("Gone\\unins000.exe"));
    const std::wstring never = L"{5A0C2F4E-1B7D-4C39-9E61-2D8F3A7B6C09}";
    const std::wstring backups = W(files.Join("B")), result = W(files.Join("result.txt"));
    const std::wstring from = W(files.WriteFile("from.txt", "user\t" + fw::ToUtf8(L"ZCLI-狐") + "\r\n"));
    const std::wstring inTheWay = W(files.WriteFile("file"));
    seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Live", L"ZCLI Live", present);
    seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Gone", L"ZCLI Gone", gone);
    SetText(fw::CreateRegKey(HKEY_LOCAL_MACHINE, kArpCache + L"ZCLI-Gone", KEY_ALL_ACCESS).get(), L"x", L"y");
    SetNumber(seeded.Entry(HKEY_LOCAL_MACHINE, never, L"ZCLI Never", L"MsiExec.exe /X" + never).get(), L"WindowsInstaller", 1);
    SetNumber(seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Component", L"ZCLI Component", gone).get(), L"SystemComponent", 1);
    seeded.Entry(HKEY_CURRENT_USER, L"ZCLI-Лиса", L"ZCLI Лиса", gone);
    seeded.Entry(HKEY_CURRENT_USER, L"ZCLI-狐", L"ZCLI 狐", present);

    wchar_t programData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH);
    const std::wstring systemFolder = std::wstring(programData) + L"\\Zaltrow\\Removed";
    // The seeded entries still listed, and the backup files made, after each step.
    const auto leaves = [&](const std::wstring& listed, std::size_t made) {
        return [=, &files] {
            std::wstring still;
            for (const auto& [root, key] : {std::pair{HKEY_LOCAL_MACHINE, L"ZCLI-Live"}, {HKEY_LOCAL_MACHINE, L"ZCLI-Gone"},
                                             {HKEY_LOCAL_MACHINE, never.c_str()}, {HKEY_LOCAL_MACHINE, L"ZCLI-Component"},
                                             {HKEY_CURRENT_USER, L"ZCLI-Лиса"}, {HKEY_CURRENT_USER, L"ZCLI-狐"}})
                if (Seeded::Listed(root, key)) still += std::wstring(still.empty() ? L"" : L" ") + key;
            EXPECT_EQ(still, listed);
            EXPECT_EQ(files.FilesIn("B").size(), made);
        };
    };
    const std::wstring all = L"ZCLI-Live ZCLI-Gone " + never + L" ZCLI-Component";
    RunSteps({
        {nullptr, L"clean --dry-run --backups " + backups, 0,
         {L"would remove: " + M + L" | ZCLI-Gone | ZCLI Gone: The uninstaller is missing: " + gone},
         L"Would remove 3 of 3 phantom entries; nothing was changed (dry run); backups would go to " + backups + L".",
         leaves(all + L" ZCLI-Лиса ZCLI-狐", 0)},
        {L"standard", L"clean --backups " + backups, 5,
         {L"removed: user | ZCLI-Лиса | ZCLI Лиса | (backup: " + backups + L"\\",
          L"administrator rights needed: " + M + L" | ZCLI-Gone | ZCLI Gone: run from an elevated prompt or as SYSTEM"},
         L"Removed 1 of 3 phantom entries, 2 needing administrator rights; backups in " + backups + L".",
         leaves(all + L" ZCLI-狐", 1)},
        {nullptr, L"clean --backups " + backups, 0, {L"removed: " + M + L" | " + never + L" | ZCLI Never"},
         L"Removed 2 of 2 phantom entries; backups in " + backups + L".",
         leaves(L"ZCLI-Live ZCLI-Component ZCLI-狐", 3)},
        {nullptr, L"remove " + M + L" ZCLI-Live user ZCLI-Nope " + M + L" ZCLI-Live --result " + result + L" --backups " + backups, 4,
         {L"already removed: " + M + L" | ZCLI-Live", L"not found: user | ZCLI-Nope: no such entry",
          M + L"\tZCLI-Live\tremoved\t" + backups + L"\\",
          L"\r\nuser\tZCLI-Nope\tnot-found\tno such entry\r\n" + M + L"\tZCLI-Live\talready-removed\t\r\n"},
         L"Removed 1 of 3 entries, 1 already removed, 1 not found; backups in " + backups + L".",
         leaves(L"ZCLI-Component ZCLI-狐", 4)},
        {nullptr, L"remove user ZCLI-狐 --backups " + inTheWay, 3, {L"backup failed: user | ZCLI-狐 | ZCLI 狐: "},
         L"Removed 0 of 1 entries, 1 failed; backups in " + inTheWay + L".", leaves(L"ZCLI-Component ZCLI-狐", 4)},
        // Wine keeps no rights of its own: the program says which it gives.
        {L"system", L"remove --from " + from + L" --result " + result, 0,
         {L"Made " + systemFolder + L" for administrators and SYSTEM only: O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FR;;;BU)\r\n",
          L"user\tZCLI-狐\tremoved\t" + systemFolder + L"\\"}, L"Removed 1 of 1 entries; backups in " + systemFolder + L".",
         leaves(L"ZCLI-Component", 4)},
        {nullptr, L"remove " + M, 2, {L"the last list has no key"}},
        {nullptr, L"remove --from " + W(files.Join("none.txt")), 4, {W(files.Join("none.txt")) + L": "}},
    }, result);
    EXPECT_FALSE(fw::OpenRegKey(HKEY_LOCAL_MACHINE, kArpCache + L"ZCLI-Gone", KEY_READ)) << "its ARPCache record stays";

    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(programData) / L"Zaltrow", ignored);
}

// SYSTEM's backup folder is never one a user prepared: through a link
// planted at %ProgramData%\\Zaltrow (a Unix symbolic link, as a junction
// would be) nothing is backed up or removed, and a folder holding a file of
// someone else's is moved aside for a fresh one. CTest runs this once per
// attack, planting it from outside (ZALTROW_TEST_PLANTED names it).
TEST(ConsoleProgram, SystemFolder) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring present = W(files.WriteFile("Live\\unins000.exe"));
    wchar_t programData[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramData", programData, MAX_PATH);
    const std::filesystem::path ours = std::filesystem::path(programData) / L"Zaltrow";
    const std::wstring systemFolder = (ours / L"Removed").wstring();
    wchar_t planted[32] = {};
    GetEnvironmentVariableW(L"ZALTROW_TEST_PLANTED", planted, 32);
    const std::filesystem::path target = L"C:\\zaltrow-link-target";
    const auto aside = [&] {
        std::size_t moved = 0;
        for (const auto& item : std::filesystem::directory_iterator(programData))
            moved += item.path().filename().wstring().rfind(L"Zaltrow (moved aside", 0) == 0;
        return moved;
    };
    struct Attack {
        const wchar_t* what;
        bool link;  // what CTest planted shows as a reparse point
        DWORD exit;
        std::vector<std::wstring> shown;
        bool removed;
    };
    const Attack attacks[] = {
        {L"link", true, 3, {L"is not used: it is a link", L"!Moved "}, false},
        {L"foreign", false, 0,
         {L"Moved " + ours.wstring() + L" aside to ", L"it holds planted.reg, which is not Zaltrow's", L"Made " + systemFolder},
         true},
    };
    bool ran = false;
    for (const Attack& attack : attacks) {
        if (std::wstring(planted) != attack.what) continue;
        ran = true;
        const DWORD attributes = GetFileAttributesW(ours.c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "CTest plants it";
        ASSERT_EQ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, attack.link);
        const std::size_t before = aside();
        const std::wstring key = std::wstring(L"ZCLI-Sys-") + attack.what;
        seeded.Entry(HKEY_CURRENT_USER, key, key, present);
        RunSteps({{L"system", L"remove user \"" + key + L"\"", attack.exit, attack.shown}});
        EXPECT_EQ(aside(), before + (attack.removed ? 1 : 0));
        EXPECT_EQ(Seeded::Listed(HKEY_CURRENT_USER, key), !attack.removed);
        if (attack.link) EXPECT_TRUE(std::filesystem::is_empty(target)) << "nothing is written where the link leads";
        else EXPECT_FALSE(std::filesystem::exists(ours / L"planted.reg"));
    }
    EXPECT_TRUE(ran) << "ZALTROW_TEST_PLANTED names no attack";
}

}  // namespace

// Undoing: removals come back bit for bit from their backups, an entry that
// is there again is kept unless --replace, anything else is refused.
TEST(ConsoleProgram, Undoing) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring backups = W(files.Join("Backups"));
    {
        const fw::RegKey entry = seeded.Entry(HKEY_LOCAL_MACHINE, L"ZCLI-Undo", L"ZCLI Undo", L"C:\\Gone\\u.exe");
        SetValue(entry.get(), L"Unterminated", REG_SZ, L"ab", 4);  // no closing zero: kept so
        fw::CreateRegKey(entry.get(), L"Sub", KEY_WRITE);
    }
    std::wstring backup;
    std::string before;
    const std::wstring notOurs = W(files.WriteFile("run.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Run]\r\n"));
    RunSteps({
        {nullptr, L"remove machine-" + std::wstring(sizeof(void*) == 8 ? L"64" : L"32") + L" ZCLI-Undo --backups \"" +
                      backups + L"\"",
         0, {L"removed"}, L"", [&] {
             backup = W(files.FilesIn("Backups").at(0).string());
             before = Bytes(backup);
             EXPECT_FALSE(Seeded::Listed(HKEY_LOCAL_MACHINE, L"ZCLI-Undo"));
         }},
        {nullptr, L"backups --backups \"" + backups + L"\"", 0, {L"ZCLI-Undo", L"ZCLI Undo"}, L"1 backup in " + backups + L"."},
    });
    ASSERT_FALSE(backup.empty());
    RunSteps({
        {L"standard", L"restore \"" + backup + L"\"", 5,
         {L"run from an elevated prompt or as SYSTEM"}, L"", [] { EXPECT_FALSE(Seeded::Listed(HKEY_LOCAL_MACHINE, L"ZCLI-Undo")); }},
        // The hand-off names each file's digest as the window showed it: a
        // file swapped since is refused.
        {nullptr, L"restore \"" + backup + L"\" --sha256 " + std::wstring(64, L'0'), 3,
         {L"has changed since it was shown"}, L"", [] { EXPECT_FALSE(Seeded::Listed(HKEY_LOCAL_MACHINE, L"ZCLI-Undo")); }},
        {nullptr, L"restore \"" + backup + L"\"", 0, {L"restored"},
         L"Restored 1 of 1 backups.", [&] { EXPECT_TRUE(Seeded::Listed(HKEY_LOCAL_MACHINE, L"ZCLI-Undo")); }},
        {nullptr, L"restore \"" + backup + L"\"", 3, {L"exists", L"--replace"}},
        // The window's elevated hand-off: the replaced entry's backup to the
        // folder given, the outcome to the result file.
        {nullptr,
         L"restore --replace \"" + backup + L"\" --backups \"" + W(files.Join("Replaced")) + L"\" --result \"" +
             W(files.Join("restore.txt")) + L"\"",
         0, {L"restored"}, L"", [&] {
             EXPECT_EQ(files.FilesIn("Replaced").size(), 1u);
             EXPECT_NE(Bytes(W(files.Join("restore.txt"))).find("\trestored\t"), std::string::npos);
         }},
        {nullptr, L"restore \"" + notOurs + L"\" \"" + W(files.Join("missing.reg")) + L"\"", 3,
         {L"not a backup", L"missing.reg"}},
    });
    // Removed again into a fresh backup, the entry is exactly what came back.
    Zaltrow(L"remove machine-" + std::wstring(sizeof(void*) == 8 ? L"64" : L"32") + L" ZCLI-Undo --backups \"" +
            W(files.Join("Again")) + L"\"");
    const auto again = files.FilesIn("Again");
    ASSERT_EQ(again.size(), 1u);
    const std::string after = Bytes(again[0].wstring());
    EXPECT_EQ(after, before);
}

namespace {

// The list's Uninstall and ARPCache trees as the registry editor exports
// them: equal bytes before and after mean nothing in them changed.
std::string ExportedLists(const TempFolder& files) {
    std::string both;
    for (const wchar_t* tree : {L"Uninstall", L"App Management\\ARPCache"}) {
        const std::wstring file = W(files.Join("export.reg"));
        DeleteFileW(file.c_str());
        RunProcess(L"reg.exe export \"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\" + std::wstring(tree) +
                   L"\" \"" + file + L"\" /y");
        both += Bytes(file);
    }
    return both;
}

std::wstring WriteUtf16(const TempFolder& files, const char* name, const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return W(files.WriteFile(name, bytes));
}

// zaltrow.exe `args` with standard output on `out` (INVALID_HANDLE_VALUE:
// none at all); its exit code and what it said on standard error.
std::pair<DWORD, std::string> ZaltrowWritingTo(const std::wstring& args, HANDLE out, const TempFolder& files) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const std::wstring errFile = W(files.Join("err.txt"));
    DWORD exit = 0;
    {
        const fw::FileHandle err(CreateFileW(errFile.c_str(), GENERIC_WRITE, 0, &inherit, CREATE_ALWAYS, 0, nullptr));
        exit = RunProcess(L"\"" + W(BesideThisProgram(ZALTROW_CONSOLE_FROM_TESTS)) + L"\" " + args, out, err.get());
    }
    return {exit, Bytes(errFile)};
}

}  // namespace

// Guarding: a key that is no single entry of its list touches nothing, an
// entry named in another letter case is removed and restored as stored,
// nothing unread is called clean, a write that fails is a failure, and
// every verb answers in machine form (checked against docs/ by CTest).
TEST(ConsoleProgram, Guarding) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring present = W(files.WriteFile("Live\\unins000.exe"));
    const std::wstring gone = W(files.Join("Gone\\unins000.exe"));
    const std::wstring backups = W(files.Join("B"));
    {
        const fw::RegKey acme = seeded.Entry(HKEY_LOCAL_MACHINE, L"AcmeViewer", L"Acme Viewer", present);
        SetText(fw::CreateRegKey(HKEY_LOCAL_MACHINE, kArpCache + L"AcmeViewer", KEY_ALL_ACCESS).get(), L"x", L"y");
        fw::CreateRegKey(seeded.Entry(HKEY_LOCAL_MACHINE, L"WithSubkeys", L"With Subkeys", present).get(), L"Components",
                         KEY_WRITE);
    }
    seeded.Entry(HKEY_CURRENT_USER, L"ZG-Formula", L"=1+2", gone);
    seeded.Entry(HKEY_CURRENT_USER, L"ZG-Command", L"+cmd|' /C calc'!A0", present);

    // Hostile keys, as arguments, in --from files (the window's elevated
    // hand-off writes one) and in Windows PowerShell's UTF-16: refused
    // whole, before any backup, with both trees byte for byte as they were.
    const std::string before = ExportedLists(files);
    const std::wstring longKey(256, L'k');
    const std::vector<std::pair<std::wstring, std::wstring>> hostile{
        {L"remove " + M + L" \"\"", L"is empty"},
        {L"remove user \"\"", L"is empty"},
        {L"remove " + M + L" \\", L"has a backslash"},
        {L"remove " + M + L" WithSubkeys\\Components", L"has a backslash"},
        {L"remove " + M + L" AcmeViewer\\", L"has a backslash"},
        {L"remove " + M + L" " + longKey, L"longer than the 255 characters"},
        {L"remove --from \"" + W(files.WriteFile("empty-key.txt", fw::ToUtf8(M + L"\tAcmeViewer\r\n" + M + L"\t\r\n"))) + L"\"",
         L"Line 2 is not LIST<TAB>KEY"},
        {L"remove --from \"" + WriteUtf16(files, "path.txt", L"\xFEFF" + M + L"\tWithSubkeys\\Components\r\n") + L"\"",
         L"Line 1: the key \"WithSubkeys\\Components\" has a backslash"},
        {L"remove --from \"" + W(files.WriteFile("long.txt", fw::ToUtf8(M + L"\t" + longKey))) + L"\"", L"Line 1: the key"},
    };
    for (const auto& [args, said] : hostile) {
        const Ran run = Zaltrow(args);
        EXPECT_EQ(run.exit, 2u) << args;
        EXPECT_NE(run.err.find(said), std::wstring::npos) << args << L"\n" << run.err;
        EXPECT_EQ(ExportedLists(files), before) << args;
        EXPECT_TRUE(files.FilesIn("B").empty()) << args;
    }

    // Named in another letter case: removed, backed up, reported and
    // restored under the key as stored, so the registry is as it was.
    const std::wstring saved = W(BesideThisProgram("guarding-"));
    const auto json = [&](const std::wstring& args, DWORD exit, const char* name) {
        const std::wstring file = saved + W(name) + L".json";
        const Ran run = Zaltrow(args + L" --json", nullptr, file);
        EXPECT_EQ(run.exit, exit) << args << run.err;
        return run.out;
    };
    const std::wstring removed = json(L"remove " + M + L" acmeviewer --backups " + backups, 0, "remove");
    EXPECT_NE(removed.find(L"\"key\": \"AcmeViewer\", \"name\": \"Acme Viewer\", \"outcome\": \"removed\", \"backupFile\": \"" +
                           Json(backups) + L"\\\\"),
              std::wstring::npos)
        << removed;
    ASSERT_EQ(files.FilesIn("B").size(), 1u);
    const std::wstring backup = W(files.FilesIn("B")[0].string());
    EXPECT_NE(backup.find(L"AcmeViewer"), std::wstring::npos);
    json(L"restore \"" + backup + L"\"", 0, "restore");
    EXPECT_EQ(ExportedLists(files), before) << "restored as stored";

    // A backup cut at a line boundary, its last key and its count gone, is
    // refused rather than restored in part.
    const std::string whole = Bytes(backup);
    const std::string cutBytes = whole.substr(0, whole.rfind(std::string("\r\0\n\0[\0", 6)) + 4);
    const std::wstring cut = W(files.WriteFile("cut.reg", cutBytes));
    Zaltrow(L"remove " + M + L" AcmeViewer --backups " + W(files.Join("C")));
    const Ran refused = Zaltrow(L"restore \"" + cut + L"\"");
    EXPECT_EQ(refused.exit, 3u);
    EXPECT_NE(refused.err.find(L"not whole"), std::wstring::npos) << refused.err;
    EXPECT_FALSE(Seeded::Listed(HKEY_LOCAL_MACHINE, L"AcmeViewer"));

    // Machine forms: each document is validated against its schema after
    // this test; CSV cells that a spreadsheet would run are made text.
    json(L"check --all-users", 1, "check");
    json(L"clean --dry-run", 0, "clean");
    json(L"backups --backups " + backups, 0, "backups");
    const Ran csv = Zaltrow(L"list --csv");
    EXPECT_NE(csv.out.find(L",ZG-Formula,'=1+2,"), std::wstring::npos) << csv.out;
    EXPECT_NE(csv.out.find(L",ZG-Command,'+cmd|' /C calc'!A0,"), std::wstring::npos) << csv.out;
    const Ran backupsCsv = Zaltrow(L"backups --csv --backups " + backups);
    EXPECT_TRUE(backupsCsv.out.starts_with(L"\xFEFF" L"file,list,key,name,time\r\n" + backup + L"," + M + L",AcmeViewer,Acme Viewer,20"))
        << backupsCsv.out;
    EXPECT_EQ(Zaltrow(L"--version").out, L"" ZALTROW_PRODUCT_NAME L" " ZALTROW_VERSION_TEXT L"\r\n");
    const Ran noFolder = Zaltrow(L"backups --backups C:\\no\\such");
    EXPECT_EQ(noFolder.exit, 4u);
    EXPECT_NE(noFolder.err.find(L"no such folder: C:\\no\\such"), std::wstring::npos) << noFolder.err;

    // A write that fails is a failure: standard output to a full disk or to
    // nothing, and a --result file that cannot take its lines, before which
    // nothing is removed.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const fw::FileHandle full(CreateFileW(L"Z:\\dev\\full", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                          OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(full);
    const auto [fullExit, fullSaid] = ZaltrowWritingTo(L"list --json", full.get(), files);
    EXPECT_EQ(fullExit, 3u);
    EXPECT_NE(fullSaid.find("Standard output could not be written"), std::string::npos) << fullSaid;
    EXPECT_EQ(ZaltrowWritingTo(L"check", INVALID_HANDLE_VALUE, files).first, 3u);
    // The same for a handle lent by a process that did not start it (the
    // hand-off's form): another process's handles are never written through.
    for (const std::wstring& target : {std::wstring(L"Z:\\dev\\full"), ResultHandleArgument(GetCurrentProcessId() + 4, 4)}) {
        const Ran lost = Zaltrow(L"remove user ZG-Formula --backups " + backups + L" --result " + target);
        EXPECT_EQ(lost.exit, 3u);
        EXPECT_NE(lost.err.find(L"The result file " + target + L" cannot be written"), std::wstring::npos) << lost.err;
        EXPECT_TRUE(Seeded::Listed(HKEY_CURRENT_USER, L"ZG-Formula"));
    }
    // Nor is another process's list of entries read.
    const Ran unlent = Zaltrow(L"remove --from " + ResultHandleArgument(GetCurrentProcessId() + 4, 4) + L" --backups " + backups);
    EXPECT_EQ(unlent.exit, 3u);
    EXPECT_NE(unlent.err.find(L"the list of entries cannot be read"), std::wstring::npos) << unlent.err;
    EXPECT_EQ(files.FilesIn("B").size(), 1u);

    // Relative paths are reported in full; --from in UTF-16 as PowerShell
    // writes it.
    const std::wstring from = WriteUtf16(files, "from16.txt", L"\xFEFFuser\tZG-Command\r\n");
    const Ran relative = Zaltrow(L"remove --from \"" + from + L"\" --backups relative-B");
    EXPECT_EQ(relative.exit, 0u) << relative.err;
    wchar_t here[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, here);
    EXPECT_NE(relative.out.find(L"(backup: " + std::wstring(here) + L"\\relative-B\\"), std::wstring::npos) << relative.out;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(here) / L"relative-B", ignored);
}

// A crowded machine list keeps no other list unread, and a list that cannot
// be read is said to be so, never reported clean.
TEST(ConsoleProgram, ReadingEveryList) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring present = W(files.WriteFile("Live\\unins000.exe"));
    const std::wstring gone = W(files.Join("Gone\\unins000.exe"));
    const std::wstring crowd = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    {
        const fw::RegKey uninstall = fw::CreateRegKey(HKEY_LOCAL_MACHINE, crowd, KEY_ALL_ACCESS);
        for (int i = 0; i < 5000; ++i) {
            const fw::RegKey entry = fw::CreateRegKey(uninstall.get(), L"ZR-Crowd-" + std::to_wstring(i), KEY_ALL_ACCESS);
            SetText(entry.get(), L"DisplayName", L"Crowd " + std::to_wstring(i));
            SetText(entry.get(), L"UninstallString", present);
        }
    }
    const auto dropCrowd = [&] {
        for (int i = 0; i < 5000; ++i) RegDeleteTreeW(HKEY_LOCAL_MACHINE, (crowd + L"\\ZR-Crowd-" + std::to_wstring(i)).c_str());
    };
    seeded.Entry(HKEY_USERS, L"ZR-Other", L"ZR Other", gone);
    const std::wstring secondSid = L"S-1-5-21-1111-2222-3333-1002";
    fw::RegKey second = fw::CreateRegKey(HKEY_USERS, secondSid + L"\\" + kUninstall + L"ZR-Second", KEY_ALL_ACCESS);
    SetText(second.get(), L"DisplayName", L"ZR Second");
    SetText(second.get(), L"UninstallString", gone);
    second.reset();

    const Ran all = Zaltrow(L"check --all-users");
    EXPECT_EQ(all.exit, 1u) << all.err;
    EXPECT_NE(Columns(all.out).find(L"phantom | user:" + kOtherSid + L" | ZR-Other"), std::wstring::npos) << all.out;
    EXPECT_NE(Columns(all.out).find(L"phantom | user:" + secondSid + L" | ZR-Second"), std::wstring::npos);
    EXPECT_NE(LastLine(all.out).find(L"2 phantom entries among 5002 entries listed."), std::wstring::npos) << LastLine(all.out);

    // The second user's list made unreadable (an empty access list), the
    // registry's own refusal, then open to all again to be taken out.
    const fw::RegKey list = fw::OpenRegKey(HKEY_USERS, secondSid + L"\\" + kUninstall.substr(0, kUninstall.size() - 1),
                                           WRITE_DAC | READ_CONTROL);
    ASSERT_TRUE(list);
    const auto setAccess = [&](bool none) {
        SECURITY_DESCRIPTOR descriptor;
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        ACL empty;
        InitializeAcl(&empty, sizeof empty, ACL_REVISION);
        SetSecurityDescriptorDacl(&descriptor, TRUE, none ? &empty : nullptr, FALSE);
        EXPECT_EQ(RegSetKeySecurity(list.get(), DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    };
    setAccess(true);
    for (const wchar_t* verb : {L"check --all-users", L"clean --dry-run --all-users"}) {
        const Ran unread = Zaltrow(verb);
        EXPECT_EQ(unread.exit, 3u) << verb << unread.out << unread.err;
        EXPECT_NE(unread.err.find(L"Not read: user:" + secondSid + L": the list could not be read"), std::wstring::npos)
            << verb << unread.err;
    }
    setAccess(false);
    EXPECT_EQ(RegDeleteTreeW(HKEY_USERS, secondSid.c_str()), ERROR_SUCCESS);
    dropCrowd();
}

namespace {

// Starts zaltrow.exe `args` without waiting; its output goes nowhere.
fw::KernelHandle StartZaltrow(const std::wstring& args) {
    std::wstring command = L"\"" + W(BesideThisProgram(ZALTROW_CONSOLE_FROM_TESTS)) + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return {};
    CloseHandle(process.hThread);
    return fw::KernelHandle(process.hProcess);
}

DWORD EndOf(const fw::KernelHandle& process) {
    DWORD code = WAIT_TIMEOUT;
    if (process && WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
    return code;
}

bool WaitUntil(const std::function<bool()>& done, DWORD milliseconds) {
    for (const ULONGLONG start = GetTickCount64(); !done(); Sleep(100))
        if (GetTickCount64() - start > milliseconds) return false;
    return true;
}

}  // namespace

// Real uninstallers made by NSIS for this test (BatchProgram.nsi, built by
// make-batch-programs.sh before it) and a real Windows Installer package,
// installed in the prefix and taken out through uninstall: each way of
// choosing entries, --quiet, --dry-run, --timeout, --remove-if-phantom, the
// exit codes, one uninstaller at a time across runs, and the elevated
// hand-off's form of the command.
TEST(ConsoleProgram, Uninstalling) {
    const TempFolder files;
    Seeded seeded;
    const std::wstring programs = W(BesideThisProgram("batch\\"));
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring installed = std::wstring(temp) + L"ZaltrowBatch\\";
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(installed), ignored);
    const wchar_t* const names[] = {L"A", L"B", L"Restart", L"Hang", L"Keep", L"Broken", L"Machine", L"Local", L"P1", L"P2"};
    for (const wchar_t* name : names) {
        const std::wstring key = std::wstring(L"ZBatch-") + name;
        ASSERT_EQ(RunProcess(L"\"" + programs + key + L".exe\" /S"), 0u) << key;
        // Taken out at the end, whatever became of it.
        seeded.Entry(name == std::wstring(L"Machine") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key, key,
                     L"\"" + installed + key + L"\\uninst.exe\"");
        SetText(fw::OpenRegKey(name == std::wstring(L"Machine") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                               kUninstall + key, KEY_ALL_ACCESS).get(), L"Publisher", L"Zaltrow Batch Tests");
    }
    const std::wstring product = ZALTROW_TEST_BATCH_PRODUCT;
    ASSERT_EQ(RunProcess(L"msiexec.exe /i \"" + W(BesideThisProgram(ZALTROW_BATCH_PACKAGE_FROM_TESTS)) + L"\" /qn"), 0u);
    ASSERT_TRUE(Seeded::Listed(HKEY_LOCAL_MACHINE, product));
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    seeded.Entry(HKEY_CURRENT_USER, L"ZBatch-Windowed", L"ZBatch Windowed", L"\"" + std::wstring(system) + L"\\cmd.exe\" /c rem");
    seeded.Entry(HKEY_CURRENT_USER, L"ZBatch-Red", L"ZBatch Red", W(files.Join("Gone\\uninst.exe")));
    // Wholly in seconds: a minute of --timeout is three of them, the default 90.
    SetEnvironmentVariableW(L"ZALTROW_TEST_MINUTE_MS", L"3000");

    const std::wstring result = W(files.Join("result.txt")), backups = W(files.Join("B"));
    const std::wstring from = W(files.WriteFile("from.txt", "user\tZBatch-Restart\r\n"));
    const auto ran = [&] {
        std::wstring text;
        fw::FromUtf8(Bytes(installed + L"ran.txt"), text);
        return text;
    };
    const auto listed = [&](const std::wstring& expected) {
        return [=] {
            std::wstring still;
            for (const wchar_t* name : names) {
                const std::wstring key = std::wstring(L"ZBatch-") + name;
                if (Seeded::Listed(name == std::wstring(L"Machine") ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key))
                    still += (still.empty() ? L"" : L" ") + std::wstring(name);
            }
            for (const wchar_t* key : {L"ZBatch-Windowed", L"ZBatch-Red"})
                if (Seeded::Listed(HKEY_CURRENT_USER, key)) still += (still.empty() ? L"" : L" ") + std::wstring(key + 7);
            if (Seeded::Listed(HKEY_LOCAL_MACHINE, product)) still += still.empty() ? L"msi" : L" msi";
            EXPECT_EQ(still, expected);
        };
    };
    const std::wstring all = L"A B Restart Hang Keep Broken Machine Local P1 P2 Windowed Red msi";
    const std::wstring quietly = L"\" /S; exit code ";
    RunSteps({
        // Chosen as list chooses; a dry run starts nothing.
        {nullptr, L"uninstall --match ZBatch --publisher \"Batch Tests\" --quiet --dry-run --result " + result, 0,
         {L"would uninstall: user | ZBatch-A | ZBatch-A | (quietly: \"" + installed + L"ZBatch-A\\uninst.exe\" /S)",
          L"would uninstall: " + M + L" | ZBatch-Machine", L"user\tZBatch-Hang\twould-uninstall\t\tZBatch-Hang\tquiet\t\t",
          L"!Windowed", L"!ZBatch Red"},
         L"Would run 10 of 10 uninstallers; nothing was changed (dry run).",
         [&] {
             listed(all)();
             EXPECT_EQ(ran(), L"");
         }},
        {nullptr, L"uninstall --match ZBatch --dry-run", 0,
         {L"would uninstall: user | ZBatch-Windowed | ZBatch Windowed | (with its window: \"" + std::wstring(system) +
              L"\\cmd.exe\" /c rem)",
          L"would uninstall: user | ZBatch-Red | ZBatch Red: The uninstaller is missing"},
         L"Would run 12 of 12 uninstallers; nothing was changed (dry run).", listed(all)},
        {nullptr, L"uninstall user ZBatch-Nothing --quiet", 4, {L"not found: user | ZBatch-Nothing"}, L"", listed(all)},
        {nullptr, L"uninstall --match NoSuchZBatch --quiet", 4, {L"No listed entry matches"}, L"", listed(all)},
        {L"standard", L"uninstall " + M + L" ZBatch-Machine user ZBatch-A --quiet", 5,
         {L"administrator rights needed: " + M + L" | ZBatch-Machine", L"uninstalled: user | ZBatch-A | ZBatch-A | (quietly: \""},
         L"", listed(L"B Restart Hang Keep Broken Machine Local P1 P2 Windowed Red msi")},
        // By keys; the JSON is validated against its schema after this test.
        {nullptr, L"uninstall user ZBatch-B " + M + L" " + product + L" --quiet --json --result " + result, 0,
         {L"\"key\": \"ZBatch-B\", \"name\": \"ZBatch-B\", \"command\": \"\\\"" + Json(installed) +
              L"ZBatch-B\\\\uninst.exe\\\" /S\", \"quiet\": true, \"exitCode\": 0, \"outcome\": \"uninstalled\", "
              L"\"restartNeeded\": false, \"removedAfterwards\": false",
          L"\"command\": \"msiexec /x " + product + L" /qn /norestart\", \"quiet\": true, \"exitCode\": 0, \"outcome\": \"uninstalled\"",
          L"user\tZBatch-B\tuninstalled\t\tZBatch-B\tquiet\t0\t\"" + installed + L"ZBatch-B\\uninst.exe\" /S\t\r\n"},
         L"}", listed(L"Restart Hang Keep Broken Machine Local P1 P2 Windowed Red")},
        {nullptr, L"uninstall --from \"" + from + L"\" --quiet", 3010,
         {L"restart needed: user | ZBatch-Restart | ZBatch-Restart | (quietly: \"", quietly + L"3010)"},
         L"Uninstalled 1 of 1 entries, 1 needing a restart.", listed(L"Hang Keep Broken Machine Local P1 P2 Windowed Red")},
        // Only quiet forms run with --quiet; a red entry is left, and said.
        {nullptr, L"uninstall user ZBatch-Windowed user ZBatch-Red --quiet", 3,
         {L"skipped: user | ZBatch-Windowed | ZBatch Windowed: No quiet uninstall is known for it.",
          L"still listed: user | ZBatch-Red | ZBatch Red: The uninstaller is missing"},
         L"Uninstalled 0 of 2 entries, 1 still listed, 1 skipped (no quiet uninstall known).",
         listed(L"Hang Keep Broken Machine Local P1 P2 Windowed Red")},
        // Left behind by its own uninstaller, or red from the start: removed
        // with a backup; one whose uninstaller failed is still a failure.
        {nullptr, L"uninstall user ZBatch-Keep user ZBatch-Red --quiet --remove-if-phantom --backups " + backups, 0,
         {L"still listed: user | ZBatch-Keep | ZBatch-Keep | (quietly: \"", quietly + L"0) | removed afterwards (backup: " + backups + L"\\",
          L"still listed: user | ZBatch-Red | ZBatch Red | removed afterwards (backup: " + backups + L"\\"},
         L"Uninstalled 0 of 2 entries, 2 still listed, 2 removed afterwards with backups.",
         [&] {
             listed(L"Hang Broken Machine Local P1 P2 Windowed")();
             EXPECT_EQ(files.FilesIn("B").size(), 2u);
         }},
        {nullptr, L"uninstall user ZBatch-Broken --quiet --remove-if-phantom --backups " + backups, 3,
         {L"failed: user | ZBatch-Broken | ZBatch-Broken | (quietly: \"", quietly + L"2) | removed afterwards (backup: ",
          L"The uninstaller ended with exit code 2."},
         L"Uninstalled 0 of 1 entries, 1 removed afterwards with backups, 1 failed.",
         [&] {
             listed(L"Hang Machine Local P1 P2 Windowed")();
             EXPECT_EQ(files.FilesIn("B").size(), 3u);
         }},
        // Still running when its time is up: left running, and nothing more is started.
        {nullptr, L"uninstall user ZBatch-Hang user ZBatch-P1 --quiet --timeout 1 --result " + result, 3,
         {L"timed out: user | ZBatch-Hang | ZBatch-Hang | (quietly: \"", L"It was still running after 1 minute and was left running.",
          L"user\tZBatch-P1\tnot-run\t"},
         L"Uninstalled 0 of 2 entries, 1 timed out and left running, 1 not run.",
         [&] {
             EXPECT_TRUE(Seeded::Listed(HKEY_CURRENT_USER, L"ZBatch-Hang"));
             std::ofstream(std::filesystem::path(installed + L"ZBatch-Hang\\stop")) << "stop";
             EXPECT_TRUE(WaitUntil([] { return !Seeded::Listed(HKEY_CURRENT_USER, L"ZBatch-Hang"); }, 20000));
             listed(L"Machine Local P1 P2 Windowed")();
         }},
    }, result, W(BesideThisProgram("uninstall.json")));

    // Asked to stop by whoever lent its list (the window, elevated), which
    // makes the list longer: the running uninstaller ends, nothing more starts.
    {
        ASSERT_EQ(RunProcess(L"\"" + programs + L"ZBatch-Hang.exe\" /S"), 0u);
        const std::wstring lent = W(files.Join("lent.txt"));
        const fw::FileHandle list(CreateFileW(lent.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::string lines = "user\tZBatch-Hang\r\nuser\tZBatch-P1\r\n";
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(list.get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr));
        const std::wstring ranBefore = ran();
        const fw::KernelHandle run = StartZaltrow(
            L"uninstall --from \"" + ResultHandleArgument(GetCurrentProcessId(), reinterpret_cast<std::uintptr_t>(list.get())) +
            L"\" --quiet");
        ASSERT_TRUE(WaitUntil([&] { return ran() == ranBefore + L"ZBatch-Hang\r\n"; }, 20000)) << ran();
        OVERLAPPED atEnd{};
        atEnd.Offset = static_cast<DWORD>(lines.size());
        ASSERT_TRUE(WriteFile(list.get(), "\r\n", 2, &written, &atEnd));
        std::ofstream(std::filesystem::path(installed + L"ZBatch-Hang\\stop")) << "stop";
        EXPECT_EQ(EndOf(run), 3u);
        EXPECT_EQ(ran(), ranBefore + L"ZBatch-Hang\r\n");
        listed(L"Machine Local P1 P2 Windowed")();
    }

    // Two runs at once: the second's uninstaller waits for the first's (each
    // NSIS program here ends with 99 when another one runs).
    const fw::KernelHandle first = StartZaltrow(L"uninstall user ZBatch-P1 --quiet");
    const fw::KernelHandle second = StartZaltrow(L"uninstall user ZBatch-P2 --quiet");
    EXPECT_EQ(EndOf(first), 0u);
    EXPECT_EQ(EndOf(second), 0u);
    listed(L"Machine Local Windowed")();

    // The hand-off, as the window uninstalls several: the machine's entries
    // in one elevated run of the console program (which reads the list and
    // writes each line through the handles lent to it), then the user's own
    // here; a declined prompt runs nothing.
    ProgramInventory inventory;
    inventory.Enumerate(false);
    const std::vector<ListedEntry> judged = ListEntries(inventory);
    std::vector<BatchItem> items;
    for (const wchar_t* key : {L"ZBatch-Machine", L"ZBatch-Local"})
        for (const ListedEntry& entry : judged)
            if (entry.entry->keyName == key)
                items.push_back({*entry.entry, entry.file, entry.args, entry.phantom, entry.reason,
                                 QuietUninstallOf(*entry.entry, entry.file, entry.args)});
    ASSERT_EQ(items.size(), 2u);
    struct Progress final : BatchProgress {
        std::vector<std::size_t> ended;
        void Started(std::size_t, const std::wstring&, bool) override {}
        void Ended(std::size_t index, const BatchResult&) override { ended.push_back(index); }
        void Wait(DWORD milliseconds) override { Sleep(milliseconds); }
        bool GoOn() override { return true; }
    };
    BatchOptions quiet;
    quiet.quiet = true;
    struct HandOffCase {
        bool declined;
        BatchOutcome outcome;
        std::wstring listedAfter;
    };
    for (const HandOffCase& c : {HandOffCase{true, BatchOutcome::NotRun, L"Machine Local Windowed"},
                                 HandOffCase{false, BatchOutcome::Uninstalled, L"Windowed"}}) {
        SCOPED_TRACE(c.declined ? "declined" : "accepted");
        std::vector<std::wstring> handed;
        Progress progress;
        const auto elevated = [&](const std::wstring&, const std::wstring& arguments, const std::wstring& folder,
                                  DWORD& exitCode, const std::function<void()>& whileWaiting) {
            handed.push_back(arguments);
            if (c.declined) return DWORD{ERROR_CANCELLED};
            std::wstring command = L"\"" + W(BesideThisProgram(ZALTROW_CONSOLE_FROM_TESTS)) + L"\" " + arguments;
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process{};
            if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                folder.c_str(), &startup, &process))
                return GetLastError();
            CloseHandle(process.hThread);
            while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT) whileWaiting();
            exitCode = EndOf(fw::KernelHandle(process.hProcess));
            return DWORD{ERROR_SUCCESS};
        };
        const std::vector<BatchResult> done =
            UninstallEntries(items, quiet, progress, fw::AccountRights::Standard,
                             [&](const std::vector<ProgramEntry>& entries, const ResultArrived& arrived,
                                 const std::function<bool()>& stopAsked) {
                                 for (const ProgramEntry& entry : entries) handed.push_back(entry.keyName);
                                 return ElevatedHandOff::Uninstall(elevated, entries, arrived, stopAsked);
                             });
        ASSERT_EQ(handed.size(), 2u);
        EXPECT_EQ(handed[0], L"ZBatch-Machine");
        EXPECT_TRUE(std::regex_match(handed[1], std::wregex(L"uninstall --from \"handle:\\d+:\\d+\" --quiet --result \"handle:\\d+:\\d+\"")))
            << handed[1];
        ASSERT_EQ(done.size(), 2u);
        std::vector<std::size_t> order = progress.ended;
        std::sort(order.begin(), order.end());
        EXPECT_EQ(order, (std::vector<std::size_t>{0, 1}));
        for (std::size_t i = 0; i < done.size(); ++i) {
            EXPECT_EQ(done[i].outcome, c.outcome) << i << done[i].reason;
            if (c.declined) continue;
            EXPECT_EQ(done[i].command, L"\"" + installed + items[i].entry.keyName + L"\\uninst.exe\" /S");
            EXPECT_EQ(done[i].exitCode, std::optional<DWORD>(0));
            EXPECT_TRUE(done[i].quiet);
        }
        listed(c.listedAfter)();
    }
    // One line for each uninstaller run, none of them twice or at once.
    const std::wstring before =
        L"ZBatch-A\r\nZBatch-B\r\nZBatch-Restart\r\nZBatch-Keep\r\nZBatch-Broken\r\nZBatch-Hang\r\nZBatch-Hang\r\n";
    EXPECT_TRUE(ran() == before + L"ZBatch-P1\r\nZBatch-P2\r\nZBatch-Machine\r\nZBatch-Local\r\n" ||
                ran() == before + L"ZBatch-P2\r\nZBatch-P1\r\nZBatch-Machine\r\nZBatch-Local\r\n")
        << ran();
    SetEnvironmentVariableW(L"ZALTROW_TEST_MINUTE_MS", nullptr);
    std::filesystem::remove_all(std::filesystem::path(installed), ignored);
}
