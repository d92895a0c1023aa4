// Benchmark of filling the program list: seeds 601 Uninstall entries (a
// third of them phantoms, most with a real icon file), times RefreshList
// phase by phase over several runs next to a bare registry walk reading the
// same values, and times the real program from start to a filled list.
//
// Usage: refresh_bench.exe PROGRAM_EXE   (run by tools/bench-refresh.sh in a
// prefix of its own: the start-up part seeds that prefix's registry).

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "ScratchRegistry.h"
#include "TempFolder.h"
#include "ThisProgram.h"
#include "app/ColumnSorter.h"
#include "app/MainDialog.h"
#include "framework/UniqueHandle.h"

namespace {

constexpr int kEntries = 601;
constexpr int kRuns = 5;
const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void SetText(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

// Writes the entries under `root`'s Uninstall key: every third one's
// uninstaller is missing; four in five have an icon file of their own.
void Seed(HKEY root, const TempFolder& files) {
    for (int i = 0; i < kEntries; ++i) {
        const std::string folder = "App" + std::to_string(i);
        const bool phantom = i % 3 == 0;
        const std::string uninstaller = phantom ? files.Join(folder + "\\unins000.exe")
                                                : files.WriteFile(folder + "\\unins000.exe");
        std::string icon;
        std::filesystem::create_directories(files.Join(folder));
        if (i % 5 != 0) {
            icon = files.Join(folder + "\\app.exe");
            std::filesystem::copy_file(ThisProgram(), icon, std::filesystem::copy_options::overwrite_existing);
        }
        fw::RegKey key;
        const std::string path = kUninstall + "\\Bench App " + std::to_string(i);
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
        SetText(key.get(), "DisplayName", "Bench Application " + std::to_string((i * 7919) % 1000));
        SetText(key.get(), "UninstallString", "\"" + uninstaller + "\" /SILENT");
        if (!icon.empty()) SetText(key.get(), "DisplayIcon", icon + ",0");
    }
}

void Unseed(HKEY root) {
    for (int i = 0; i < kEntries; ++i)
        RegDeleteTreeA(root, (kUninstall + "\\Bench App " + std::to_string(i)).c_str());
}

// The same values read with nothing but the registry calls.
int BareWalk() {
    fw::RegKey uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstall.c_str(), 0, KEY_READ, uninstall.put()) != ERROR_SUCCESS)
        return 0;
    int read = 0;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(uninstall.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        fw::RegKey entry;
        if (RegOpenKeyExA(uninstall.get(), name, 0, KEY_READ, entry.put()) != ERROR_SUCCESS) continue;
        for (const char* value : {"DisplayName", "UninstallString", "DisplayIcon"}) {
            char data[1000];
            DWORD size = sizeof data;
            if (RegQueryValueExA(entry.get(), value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
                ERROR_SUCCESS)
                ++read;
        }
    }
    return read;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void InProcess() {
    TempFolder files;
    ScratchRegistry scratch;
    ScratchRegistry::SetString(HKEY_CURRENT_USER, "Software\\Zaltrow", "bDisableSplash", "1");
    Seed(HKEY_LOCAL_MACHINE, files);

    MainDialog dialog;
    if (!dialog.Create()) {
        std::printf("the main window could not be created\n");
        return;
    }
    std::vector<double> total, enumeration, icons, rows, phantoms, sort, bare;
    for (int run = 0; run < kRuns; ++run) {
        RefreshTimings timings;
        const double start = Now();
        dialog.RefreshList(&timings);
        total.push_back(Now() - start);
        enumeration.push_back(timings.enumeration);
        icons.push_back(timings.icons);
        rows.push_back(timings.rows);
        phantoms.push_back(timings.phantomTests);
        sort.push_back(timings.sort);
        const double walkStart = Now();
        const int values = BareWalk();
        bare.push_back(Now() - walkStart);
        if (run == 0)
            std::printf("%d rows, %d images, bare walk read %d values\n", dialog.List().GetItemCount(),
                        dialog.Images().Count(), values);
    }
    // The sort alone, split into making the records, the platform's sort
    // and putting the item data back.
    std::vector<double> prepare, sortOnly, restore;
    for (int run = 0; run < kRuns; ++run) {
        const double t0 = Now();
        auto sorter = std::make_unique<ColumnSorter>(dialog.List(), 0);
        sorter->Prepare();
        const double t1 = Now();
        sorter->Sort(run % 2 == 0);
        const double t2 = Now();
        sorter.reset();
        const double t3 = Now();
        prepare.push_back(t1 - t0);
        sortOnly.push_back(t2 - t1);
        restore.push_back(t3 - t2);
    }
    std::printf("RefreshList of %d entries, median of %d runs (ms):\n", kEntries, kRuns);
    std::printf("  total            %8.1f\n", Median(total));
    std::printf("  enumeration      %8.1f   (bare RegEnumKeyExA/RegQueryValueExA walk: %.1f)\n", Median(enumeration),
                Median(bare));
    std::printf("  icon extraction  %8.1f\n", Median(icons));
    std::printf("  rows             %8.1f\n", Median(rows));
    std::printf("  phantom tests    %8.1f\n", Median(phantoms));
    std::printf("  sort             %8.1f   (alone: records %.1f, LVM_SORTITEMS %.1f, restoring %.1f)\n",
                Median(sort), Median(prepare), Median(sortOnly), Median(restore));
}

void StartUp(const std::string& program) {
    TempFolder files;
    fw::RegKey settings;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Zaltrow", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, settings.put(),
                    nullptr);
    SetText(settings.get(), "bDisableSplash", "1");
    Seed(HKEY_LOCAL_MACHINE, files);
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string command = "\"";
        command.append(program).append("\"");
        const double start = Now();
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::printf("cannot start %s: %lu\n", program.c_str(), GetLastError());
            break;
        }
        fw::KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
        HWND window = gui::WaitForWindow(process.dwProcessId, "#32770", "Zaltrow", 60000);
        HWND list = window ? GetDlgItem(window, 1000) : nullptr;
        while (list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < kEntries) Sleep(1);
        times.push_back(Now() - start);
        if (window) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        WaitForSingleObject(processHandle.get(), 10000);
    }
    Unseed(HKEY_LOCAL_MACHINE);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Zaltrow");
    if (!times.empty())
        std::printf("start-up of the real program to a filled list of %d rows: median %.0f ms of %zu runs\n",
                    kEntries, Median(times), times.size());
}

}  // namespace

int main(int argc, char** argv) {
    InProcess();
    if (argc > 1) StartUp(argv[1]);
    return 0;
}
