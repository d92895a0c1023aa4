// What both programs import at load time, read from their files: only DLLs
// Windows loads from its own KnownDLLs section (or the side-by-side common
// controls), so no DLL planted beside a program runs before its code does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ThisProgram.h"

namespace {

std::uint32_t Read(const std::string& image, std::size_t at, int bytes) {
    if (at + bytes > image.size()) throw std::out_of_range("past the file's end");
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(image[at + i]);
    return value;
}

// A PE file's import directory: each DLL (lowered) with the functions it
// is asked for by name.
std::vector<std::pair<std::string, std::set<std::string>>> Imports(const std::string& image) {
    const std::size_t pe = Read(image, 0x3C, 4);
    if (Read(image, pe, 4) != 0x4550) throw std::invalid_argument("no PE file");
    const std::size_t optional = pe + 24, sections = optional + Read(image, pe + 20, 2);
    // The data directories and the thunks' size differ in PE32+.
    const bool plus = Read(image, optional, 2) == 0x20B;
    const std::uint32_t importRva = Read(image, optional + (plus ? 120 : 104), 4);
    const auto offsetOf = [&](std::uint32_t rva) -> std::size_t {
        for (std::size_t s = 0; s < Read(image, pe + 6, 2); ++s) {
            const std::size_t header = sections + s * 40, start = Read(image, header + 12, 4);
            if (rva >= start && rva < start + Read(image, header + 8, 4)) return rva - start + Read(image, header + 20, 4);
        }
        throw std::out_of_range("address in no section");
    };
    std::vector<std::pair<std::string, std::set<std::string>>> imports;
    for (std::size_t entry = offsetOf(importRva); Read(image, entry + 12, 4) != 0; entry += 20) {
        std::string name(image.c_str() + offsetOf(Read(image, entry + 12, 4)));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::set<std::string> functions;
        const std::uint32_t lookup = Read(image, entry, 4) ? Read(image, entry, 4) : Read(image, entry + 16, 4);
        const std::size_t thunkSize = plus ? 8 : 4;
        for (std::size_t thunk = offsetOf(lookup);; thunk += thunkSize) {
            const std::uint32_t low = Read(image, thunk, 4), high = plus ? Read(image, thunk + 4, 4) : 0;
            if (low == 0 && high == 0) break;
            const bool byOrdinal = plus ? (high & 0x80000000u) != 0 : (low & 0x80000000u) != 0;
            if (!byOrdinal) functions.insert(image.c_str() + offsetOf(low) + 2);  // after the hint
        }
        imports.emplace_back(name, std::move(functions));
    }
    return imports;
}

std::string FileOf(const char* program) {
    std::ifstream file(BesideThisProgram(program), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::pair<std::string, std::set<std::string>>> ImportsOf(const char* program) {
    return Imports(FileOf(program));
}

// Whether `bytes` hold `text`, in ANSI or in UTF-16.
bool Holds(const std::string& bytes, const std::string& text) {
    std::string wide;
    for (char c : text) wide += {c, '\0'};
    return bytes.find(text) != std::string::npos || bytes.find(wide) != std::string::npos;
}

}  // namespace

TEST(ImportTable, BothProgramsImportOnlyKnownDllsAndTheCommonControls) {
    // Windows 10's KnownDLLs, ntdll (always loaded first), comctl32 (side by side, by the manifest).
    const std::set<std::string> allowed = {
        "advapi32.dll", "clbcatq.dll",  "combase.dll", "comdlg32.dll", "coml2.dll",   "difxapi.dll",  "gdi32.dll",
        "gdiplus.dll",  "imagehlp.dll", "imm32.dll",   "kernel32.dll", "msctf.dll",   "msvcrt.dll",   "normaliz.dll",
        "nsi.dll",      "ole32.dll",    "oleaut32.dll", "psapi.dll",   "rpcrt4.dll",  "sechost.dll",  "setupapi.dll",
        "shcore.dll",   "shell32.dll",  "shlwapi.dll", "user32.dll",   "wldap32.dll", "ws2_32.dll",   "ntdll.dll",
        "comctl32.dll"};
    for (const char* program : {ZALTROW_EXE_FROM_TESTS, ZALTROW_CONSOLE_FROM_TESTS}) {
        std::vector<std::string> dlls;
        for (const auto& [dll, functions] : ImportsOf(program)) dlls.push_back(dll);
        EXPECT_EQ(std::count(dlls.begin(), dlls.end(), "kernel32.dll"), 1) << program << ": misread";
        for (const std::string& dll : dlls) EXPECT_TRUE(allowed.count(dll)) << program << " imports " << dll;
    }
}

// The console program links none of the window's dialogs or messages: the
// engine it shares with the window reports, the front ends show.
TEST(ImportTable, OnlyTheWindowShowsMessageBoxes) {
    const auto user32 = [](const char* program) {
        for (const auto& [dll, functions] : ImportsOf(program))
            if (dll == "user32.dll") return functions;
        return std::set<std::string>();
    };
    const std::set<std::string> window = user32(ZALTROW_EXE_FROM_TESTS), console = user32(ZALTROW_CONSOLE_FROM_TESTS);
    EXPECT_TRUE(window.count("MessageBoxW")) << "the window's import names are misread";
    for (const char* function : {"MessageBoxW", "MessageBoxA", "DialogBoxParamW", "CreateDialogParamW"})
        EXPECT_FALSE(console.count(function)) << "the console program imports " << function;
}

// The programs the setup ships hold no trace of the tests' rights aid; their
// test builds, which the tests start, do (so the search would find it).
// Every build sets its DLL search to the system folder by looking the call
// up by name: imported, it would keep the programs from starting on a
// Windows 7 without KB2533623.
TEST(ImportTable, ProductHasNoRightsAidAndLooksUpTheDllSearchAtRunTime) {
    const struct {
        const char* program;
        bool aid;
    } cases[] = {{ZALTROW_EXE_FROM_TESTS, false},
                 {ZALTROW_CONSOLE_FROM_TESTS, false},
                 {ZALTROW_AIDED_EXE_FROM_TESTS, true},
                 {ZALTROW_AIDED_CONSOLE_FROM_TESTS, true}};
    for (const auto& c : cases) {
        const std::string bytes = FileOf(c.program);
        ASSERT_FALSE(bytes.empty()) << c.program;
        EXPECT_EQ(Holds(bytes, "ZALTROW_TEST_RIGHTS"), c.aid) << c.program;
        EXPECT_TRUE(Holds(bytes, "SetDefaultDllDirectories")) << c.program;
        for (const auto& [dll, functions] : Imports(bytes))
            EXPECT_FALSE(functions.count("SetDefaultDllDirectories")) << c.program << " imports it from " << dll;
    }
}
