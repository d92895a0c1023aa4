#pragma once
// The tests' own upgrade public key, made in the build folder (see
// UpgradeTests.cmake); the stand-in installer is signed with its private key.

#include "TestUpgradeKeyBytes.h"
#include "net/UpgradeKey.h"

inline const UpgradePublicKey& TestUpgradeKey() {
    static constexpr UpgradePublicKey key{ZALTROW_TEST_UPGRADE_KEY_BYTES};
    return key;
}
