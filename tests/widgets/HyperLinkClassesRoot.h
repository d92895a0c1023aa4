#pragma once
// Points this process's HKEY_CLASSES_ROOT at a fresh, empty scratch key for
// the life of the object and removes the key afterwards, so the links'
// ".htm" browser lookup sees only what a test seeded and the prefix's own
// file associations are never touched.

#include <windows.h>

#include <string>

class HyperLinkClassesRoot {
public:
    HyperLinkClassesRoot();
    ~HyperLinkClassesRoot();
    HyperLinkClassesRoot(const HyperLinkClassesRoot&) = delete;
    HyperLinkClassesRoot& operator=(const HyperLinkClassesRoot&) = delete;

    // Sets the default value of `path` (created as needed) under the
    // scratch classes root.
    static void SetDefault(const std::string& path, const std::string& value);

private:
    std::string scratchPath_;  // under the real HKCU
};
