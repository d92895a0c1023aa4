#include "framework/Sha256.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>

namespace fw {

namespace {

class Provider {
public:
    Provider() {
        if (!CryptAcquireContextW(&handle_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) handle_ = 0;
    }
    ~Provider() {
        if (handle_) CryptReleaseContext(handle_, 0);
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    HCRYPTPROV get() const { return handle_; }

private:
    HCRYPTPROV handle_ = 0;
};

class Hash {
public:
    explicit Hash(const Provider& provider) {
        if (!provider.get() || !CryptCreateHash(provider.get(), CALG_SHA_256, 0, 0, &handle_)) handle_ = 0;
    }
    ~Hash() {
        if (handle_) CryptDestroyHash(handle_);
    }
    Hash(const Hash&) = delete;
    Hash& operator=(const Hash&) = delete;
    HCRYPTHASH get() const { return handle_; }

private:
    HCRYPTHASH handle_ = 0;
};

}  // namespace

std::wstring Sha256Hex(const std::vector<std::uint8_t>& bytes) {
    const Provider provider;
    const Hash hash(provider);
    if (!hash.get()) return {};
    // Hashed in pieces a DWORD can count.
    constexpr std::size_t kPiece = 1u << 30;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
        const DWORD size = static_cast<DWORD>(std::min(kPiece, bytes.size() - at));
        if (!CryptHashData(hash.get(), bytes.data() + at, size, 0)) return {};
    }
    BYTE digest[32];
    DWORD size = sizeof digest;
    if (!CryptGetHashParam(hash.get(), HP_HASHVAL, digest, &size, 0) || size != sizeof digest) return {};
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring hex;
    for (const BYTE byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

}  // namespace fw
