#pragma once
// Points this process's HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER (and, when
// asked, HKEY_USERS) at fresh scratch keys for the life of the object, and
// removes them afterwards, so registry tests see only what they seeded and
// never touch real data.

#include <windows.h>

#include <string>
#include <vector>

class ScratchRegistry {
public:
    // UserOnly leaves HKEY_LOCAL_MACHINE alone, for tests whose other
    // processes (uninstallers) must see the same machine keys. AllUsers
    // points HKEY_USERS at a scratch key too, for other accounts' lists.
    enum class Roots { MachineAndUser, UserOnly, AllUsers };
    explicit ScratchRegistry(Roots roots = Roots::MachineAndUser);
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // Seeding and inspection through the (overridden) predefined roots.
    static void CreateKey(HKEY root, const std::string& path);
    static void SetString(HKEY root, const std::string& path, const std::string& name,
                          const std::string& value, DWORD type = REG_SZ);
    static void SetBinary(HKEY root, const std::string& path, const std::string& name,
                          const std::vector<unsigned char>& bytes, DWORD type = REG_BINARY);
    static void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
    static bool KeyExists(HKEY root, const std::string& path);
    static bool ValueExists(HKEY root, const std::string& path, const std::string& name);
    static std::string GetString(HKEY root, const std::string& path, const std::string& name);
    // The same with UTF-16 names and texts, for what no code page can hold.
    static void SetString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& value);
    static bool KeyExists(HKEY root, const std::wstring& path);
    static std::wstring GetString(HKEY root, const std::wstring& path, const std::wstring& name);

private:
    std::string scratchPath_;  // under the real HKCU
};
