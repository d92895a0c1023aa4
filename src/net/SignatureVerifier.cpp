#include "net/SignatureVerifier.h"

#include <bcrypt.h>

#include <utility>

#include "framework/Cng.h"
#include "framework/TextConversion.h"

namespace {

constexpr ULONG kSignatureBytes = 64;
constexpr DWORD kReadBytes = 256 * 1024;
constexpr NTSTATUS kSuccess = fw::kCngSuccess;
constexpr ULONG kDigestBytes = fw::kSha256Bytes;
using Cng = fw::Cng;
using Provider = fw::CngProvider;
using Hash = fw::CngHash;

class Key {
public:
    Key(const Cng& cng, const Provider& provider, const UpgradePublicKey& point) : cng_(cng) {
        if (!provider.get()) return;
        // BCRYPT_ECCKEY_BLOB header, then X and Y.
        unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + sizeof point];
        BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
        CopyMemory(blob, &header, sizeof header);
        CopyMemory(blob + sizeof header, point.data(), point.size());
        if (cng_.importKeyPair(provider.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle_, blob, sizeof blob, 0) !=
            kSuccess)
            handle_ = nullptr;
    }
    ~Key() {
        if (handle_) cng_.destroyKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    BCRYPT_KEY_HANDLE get() const { return handle_; }

private:
    const Cng& cng_;
    BCRYPT_KEY_HANDLE handle_ = nullptr;
};

}  // namespace

SignatureVerifier::SignatureVerifier(const UpgradePublicKey& key, std::string library)
    : key_(key), library_(std::move(library)) {}

SignatureVerifier::Result SignatureVerifier::VerifyText(std::string_view text,
                                                        const std::vector<unsigned char>& signature) const {
    const Cng cng(fw::Widen(library_).c_str());
    if (!cng.Usable()) return Result::Unverifiable;
    const Provider ecdsa(cng, BCRYPT_ECDSA_P256_ALGORITHM);
    const Key key(cng, ecdsa, key_);
    const Provider sha256(cng, BCRYPT_SHA256_ALGORITHM);
    const Hash hash(cng, sha256);
    if (!key.get() || !hash.get()) return Result::Unverifiable;
    if (signature.size() != kSignatureBytes) return Result::Invalid;

    std::vector<unsigned char> bytes(text.begin(), text.end());  // the call takes a non-const buffer
    unsigned char digest[kDigestBytes];
    if (cng.hashData(hash.get(), bytes.data(), static_cast<ULONG>(bytes.size()), 0) != kSuccess ||
        cng.finishHash(hash.get(), digest, kDigestBytes, 0) != kSuccess)
        return Result::Unverifiable;

    std::vector<unsigned char> copy(signature);
    const NTSTATUS status = cng.verifySignature(key.get(), nullptr, digest, kDigestBytes, copy.data(),
                                                kSignatureBytes, 0);
    // STATUS_INVALID_SIGNATURE, or any other refusal: nothing may run.
    return status == kSuccess ? Result::Valid : Result::Invalid;
}

std::optional<std::string> SignatureVerifier::FileSha256(HANDLE file, const std::string& library) {
    const Cng cng(fw::Widen(library).c_str());
    if (!cng.Usable()) return std::nullopt;
    const Provider sha256(cng, BCRYPT_SHA256_ALGORITHM);
    const Hash hash(cng, sha256);
    if (!hash.get()) return std::nullopt;

    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return std::nullopt;
    std::vector<unsigned char> block(kReadBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, block.data(), kReadBytes, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        if (cng.hashData(hash.get(), block.data(), read, 0) != kSuccess) return std::nullopt;
    }
    unsigned char digest[kDigestBytes];
    if (cng.finishHash(hash.get(), digest, kDigestBytes, 0) != kSuccess) return std::nullopt;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}
