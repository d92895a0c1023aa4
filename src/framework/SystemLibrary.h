#pragma once
// A DLL of the Windows system folder, loaded by its full path for the life
// of the object. An elevated program must never load a copy planted beside
// it or in its working folder, and a system without the DLL still starts:
// the owner is then empty and every lookup fails.

#include <windows.h>

#include <string>

namespace fw {

class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* fileName) {
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        std::wstring path(folder, length);
        path += L'\\';
        path += fileName;
        module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    ~SystemLibrary() {
        if (module_) FreeLibrary(module_);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    explicit operator bool() const { return module_ != nullptr; }

    // Sets `entry` to the named export; false (and null) when there is none.
    template <typename Function>
    bool Find(Function*& entry, const char* name) const {
        entry = module_ ? reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
        return entry != nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

}  // namespace fw
