#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

TempFolder::TempFolder() {
    static std::atomic<int> serial{0};
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    path_ = std::string(temp) + "zaltrow-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(serial++);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

// Through the ANSI calls, so names are read in the system code page as the
// program reads them (the standard library's paths assume another one).
std::string TempFolder::WriteFile(const std::string& name, const std::string& content) const {
    const std::string path = Join(name);
    for (std::size_t slash = path_.size() + 1; (slash = path.find('\\', slash)) != std::string::npos; ++slash) {
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    if (file == INVALID_HANDLE_VALUE) return path;
    DWORD written = 0;
    EXPECT_TRUE(::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    CloseHandle(file);
    return path;
}

std::vector<std::filesystem::path> TempFolder::FilesIn(const std::string& name) const {
    std::vector<std::filesystem::path> found;
    std::error_code ignored;
    for (const auto& file : std::filesystem::directory_iterator(Join(name), ignored)) found.push_back(file.path());
    return found;
}
