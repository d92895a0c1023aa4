#pragma once
// Owner of one BSTR: freed exactly once on every path.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

#include "framework/TextConversion.h"

namespace fw {

class Bstr {
public:
    Bstr() noexcept = default;
    // A copy of ANSI text; null only when out of memory (or when the text
    // cannot be converted). Empty text gives an empty, non-null string.
    explicit Bstr(const std::string& text) {
        const std::wstring wide = Widen(text);
        if (!text.empty() && wide.empty()) return;
        bstr_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    // A copy of UTF-16 text (paths in any script); null only when out of memory.
    explicit Bstr(const std::wstring& text)
        : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { SysFreeString(bstr_); }
    Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(bstr_);
            bstr_ = std::exchange(other.bstr_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const noexcept { return bstr_; }

private:
    BSTR bstr_ = nullptr;
};

}  // namespace fw
