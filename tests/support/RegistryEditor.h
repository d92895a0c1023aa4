#pragma once
// The test prefix's own registry editor, run as a person would run it to
// restore a backup: `regedit /s file`.

#include <filesystem>

// Imports the file silently and waits; the editor's exit code (0xFFFFFFFF
// when it could not be started or did not end within 30 seconds).
unsigned long ImportWithRegedit(const std::filesystem::path& file);
