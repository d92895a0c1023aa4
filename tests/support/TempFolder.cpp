#include "TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

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

std::string TempFolder::WriteFile(const std::string& name, const std::string& content) const {
    const std::string path = Join(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
    return path;
}
