#pragma once
// Checks that a text is signed with a given key: ECDSA P-256 over the
// text's SHA-256, the signature as raw r||s (64 bytes), verified by the
// platform's CNG; and takes a file's SHA-256, also by CNG. bcrypt.dll is
// loaded from the system folder when a check runs, so the program still
// starts where it is missing; there nothing can be proven.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/UpgradeKey.h"

class SignatureVerifier {
public:
    enum class Result { Valid, Invalid, Unverifiable };

    // `library` is the CNG library's file name, looked for in the system
    // folder only.
    explicit SignatureVerifier(const UpgradePublicKey& key, std::string library = "bcrypt.dll");

    // Checks `signature` against the SHA-256 of `text`'s bytes.
    // Unverifiable when CNG is missing or cannot take the key.
    Result VerifyText(std::string_view text, const std::vector<unsigned char>& signature) const;

    // The SHA-256 of the whole of `file` from its start (it needs read
    // access), as 64 lower-case hex digits; none when CNG is missing or the
    // file cannot be read.
    static std::optional<std::string> FileSha256(HANDLE file, const std::string& library = "bcrypt.dll");

private:
    UpgradePublicKey key_;
    std::string library_;
};
