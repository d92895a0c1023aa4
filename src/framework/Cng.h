#pragma once
// Windows' CNG (bcrypt.dll) loaded at run time from the system folder only,
// never imported and never from the working directory, and owners of its
// algorithm and hash handles: the hashing and signature checks use it.

#include <windows.h>
#include <bcrypt.h>

#include "framework/SystemLibrary.h"

namespace fw {

using OpenProvider = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE*, LPCWSTR, LPCWSTR, ULONG);
using CloseProvider = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, ULONG);
using CreateHash = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, BCRYPT_HASH_HANDLE*, PUCHAR, ULONG, PUCHAR, ULONG, ULONG);
using HashData = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
using FinishHash = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE, PUCHAR, ULONG, ULONG);
using DestroyHash = NTSTATUS(WINAPI*)(BCRYPT_HASH_HANDLE);
using ImportKeyPair = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, BCRYPT_KEY_HANDLE, LPCWSTR, BCRYPT_KEY_HANDLE*, PUCHAR,
                                        ULONG, ULONG);
using DestroyKey = NTSTATUS(WINAPI*)(BCRYPT_KEY_HANDLE);
using VerifySignature = NTSTATUS(WINAPI*)(BCRYPT_KEY_HANDLE, VOID*, PUCHAR, ULONG, PUCHAR, ULONG, ULONG);

constexpr NTSTATUS kCngSuccess = 0;
constexpr ULONG kSha256Bytes = 32;

// bcrypt.dll and the entry points used, loaded from the system folder only
// (never from the working directory, where the download lands).
class Cng {
public:
    explicit Cng(const wchar_t* library = L"bcrypt.dll") : module_(library) {
        ok_ = module_.Find(openProvider, "BCryptOpenAlgorithmProvider") &&
              module_.Find(closeProvider, "BCryptCloseAlgorithmProvider") &&
              module_.Find(createHash, "BCryptCreateHash") && module_.Find(hashData, "BCryptHashData") &&
              module_.Find(finishHash, "BCryptFinishHash") && module_.Find(destroyHash, "BCryptDestroyHash") &&
              module_.Find(importKeyPair, "BCryptImportKeyPair") && module_.Find(destroyKey, "BCryptDestroyKey") &&
              module_.Find(verifySignature, "BCryptVerifySignature");
    }
    Cng(const Cng&) = delete;
    Cng& operator=(const Cng&) = delete;

    bool Usable() const { return ok_; }

    OpenProvider openProvider = nullptr;
    CloseProvider closeProvider = nullptr;
    CreateHash createHash = nullptr;
    HashData hashData = nullptr;
    FinishHash finishHash = nullptr;
    DestroyHash destroyHash = nullptr;
    ImportKeyPair importKeyPair = nullptr;
    DestroyKey destroyKey = nullptr;
    VerifySignature verifySignature = nullptr;

private:
    SystemLibrary module_;
    bool ok_ = false;
};

// Owners of the CNG handles, released through the loaded entry points.
class CngProvider {
public:
    CngProvider(const Cng& cng, LPCWSTR algorithm) : cng_(cng) {
        if (cng_.openProvider(&handle_, algorithm, nullptr, 0) != kCngSuccess) handle_ = nullptr;
    }
    ~CngProvider() {
        if (handle_) cng_.closeProvider(handle_, 0);
    }
    CngProvider(const CngProvider&) = delete;
    CngProvider& operator=(const CngProvider&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    const Cng& cng_;
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

class CngHash {
public:
    CngHash(const Cng& cng, const CngProvider& provider) : cng_(cng) {
        // No object buffer: CNG allocates its own (Windows 7 and later).
        if (!provider.get() || cng_.createHash(provider.get(), &handle_, nullptr, 0, nullptr, 0, 0) != kCngSuccess)
            handle_ = nullptr;
    }
    ~CngHash() {
        if (handle_) cng_.destroyHash(handle_);
    }
    CngHash(const CngHash&) = delete;
    CngHash& operator=(const CngHash&) = delete;
    BCRYPT_HASH_HANDLE get() const { return handle_; }

private:
    const Cng& cng_;
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};

}  // namespace fw
