// What both programs import at load time, read from their files: only DLLs
// Windows loads from its own KnownDLLs section (or the side-by-side common
// controls), so no DLL planted beside a program runs before its code does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ThisProgram.h"

namespace {

std::uint32_t Read(const std::string& image, std::size_t at, int bytes) {
    if (at + bytes > image.size()) throw std::out_of_range("past the file's end");
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(image[at + i]);
    return value;
}

// The DLL names of a PE file's import directory, lowered; none when it is
// not a PE file.
std::optional<std::vector<std::string>> ImportedDlls(const std::string& image) {
    if (image.size() < 64 || image.compare(0, 2, "MZ") != 0) return std::nullopt;
    const std::size_t pe = Read(image, 0x3C, 4);
    if (Read(image, pe, 4) != 0x4550) return std::nullopt;  // "PE\0\0"
    const std::size_t sections = Read(image, pe + 6, 2);
    const std::size_t optional = pe + 24;
    const std::size_t optionalSize = Read(image, pe + 20, 2);
    // The data directories follow the fields that differ in size between PE32 and PE32+.
    const bool plus = Read(image, optional, 2) == 0x20B;
    const std::uint32_t importRva = Read(image, optional + (plus ? 112 : 96) + 8, 4);
    const auto offsetOf = [&](std::uint32_t rva) -> std::size_t {
        for (std::size_t s = 0; s < sections; ++s) {
            const std::size_t header = optional + optionalSize + s * 40;
            const std::uint32_t start = Read(image, header + 12, 4), size = Read(image, header + 8, 4);
            if (rva >= start && rva < start + size) return rva - start + Read(image, header + 20, 4);
        }
        throw std::out_of_range("address in no section");
    };
    std::vector<std::string> names;
    if (importRva == 0) return names;
    for (std::size_t entry = offsetOf(importRva);; entry += 20) {
        const std::uint32_t nameRva = Read(image, entry + 12, 4);
        if (nameRva == 0) break;
        std::string name(image.c_str() + offsetOf(nameRva));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(name);
    }
    return names;
}

std::string WholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace

TEST(ImportTable, BothProgramsImportOnlyKnownDllsAndTheCommonControls) {
    // Windows 10's KnownDLLs, ntdll (always loaded first) and comctl32 (side by side, through the manifest).
    const std::set<std::string> allowed = {
        "advapi32.dll", "clbcatq.dll", "combase.dll",  "comdlg32.dll", "coml2.dll",    "difxapi.dll",
        "gdi32.dll",    "gdiplus.dll", "imagehlp.dll", "imm32.dll",    "kernel32.dll", "msctf.dll",
        "msvcrt.dll",   "normaliz.dll", "nsi.dll",     "ole32.dll",    "oleaut32.dll", "psapi.dll",
        "rpcrt4.dll",   "sechost.dll", "setupapi.dll", "shcore.dll",   "shell32.dll",  "shlwapi.dll",
        "user32.dll",   "wldap32.dll", "ws2_32.dll",   "ntdll.dll",    "comctl32.dll"};
    for (const char* program : {ZALTROW_EXE_FROM_TESTS, ZALTROW_CONSOLE_FROM_TESTS}) {
        const std::optional<std::vector<std::string>> dlls = ImportedDlls(WholeFile(BesideThisProgram(program)));
        ASSERT_TRUE(dlls) << program;
        EXPECT_NE(std::find(dlls->begin(), dlls->end(), "kernel32.dll"), dlls->end()) << program << ": read wrong";
        for (const std::string& dll : *dlls) EXPECT_TRUE(allowed.count(dll)) << program << " imports " << dll;
    }
}
