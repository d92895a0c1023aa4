#pragma once
// A fresh folder under the Windows temporary folder, removed with its
// contents when the object goes.

#include <filesystem>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, without a trailing backslash.
    const std::string& Path() const { return path_; }
    // Path() + "\" + name.
    std::string Join(const std::string& name) const { return path_ + "\\" + name; }
    // Creates a file (and its folders) holding `content`; returns its path.
    std::string WriteFile(const std::string& name, const std::string& content = "x") const;
    // The files in the subfolder `name` (none when it is missing).
    std::vector<std::filesystem::path> FilesIn(const std::string& name) const;

private:
    std::string path_;
};
