#pragma once
// Checks that a file is signed with a given key: ECDSA P-256 over the
// file's SHA-256, the signature as raw r||s (64 bytes), verified by the
// platform's CNG. bcrypt.dll is loaded when a check runs, so the program
// still starts where it is missing; there every file is unverifiable.

#include <windows.h>

#include <string>
#include <vector>

#include "net/UpgradeKey.h"

class SignatureVerifier {
public:
    enum class Result { Valid, Invalid, Unverifiable };

    // `library` is the CNG library's file name, looked for in the system
    // folder only.
    explicit SignatureVerifier(const UpgradePublicKey& key, std::string library = "bcrypt.dll");

    // Hashes the whole of `file` from its start (it needs read access) and
    // checks `signature` against the digest. Unverifiable when CNG is
    // missing or cannot take the key, or the file cannot be read.
    Result VerifyFile(HANDLE file, const std::vector<unsigned char>& signature) const;

private:
    UpgradePublicKey key_;
    std::string library_;
};
