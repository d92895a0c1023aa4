#pragma once
// The registry keys the tests set up and look at, under HKEY_LOCAL_MACHINE
// or HKEY_CURRENT_USER of the scratch registry.

#include <string>

inline const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline const std::string kArpCache = "Software\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";
inline const std::string kSettings = "Software\\Zaltrow";
// Where the current user's "Local AppData" folder is looked up.
inline const std::string kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
