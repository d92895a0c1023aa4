#include "framework/Sha256.h"

#include <algorithm>

#include "framework/Cng.h"

namespace fw {

std::wstring Sha256Hex(const std::vector<std::uint8_t>& bytes) {
    const Cng cng;
    if (!cng.Usable()) return {};
    const CngProvider sha256(cng, BCRYPT_SHA256_ALGORITHM);
    const CngHash hash(cng, sha256);
    if (!hash.get()) return {};
    // Hashed in pieces a ULONG can count; the call takes a non-const buffer.
    std::vector<std::uint8_t> copy(bytes);
    constexpr std::size_t kPiece = 1u << 30;
    for (std::size_t at = 0; at < copy.size(); at += kPiece) {
        const ULONG size = static_cast<ULONG>(std::min(kPiece, copy.size() - at));
        if (cng.hashData(hash.get(), copy.data() + at, size, 0) != kCngSuccess) return {};
    }
    unsigned char digest[kSha256Bytes];
    if (cng.finishHash(hash.get(), digest, kSha256Bytes, 0) != kCngSuccess) return {};
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring hex;
    for (const unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

}  // namespace fw
