#pragma once
// The public key an upgrade's installer must be signed for: the point X||Y
// of an ECDSA P-256 key, 32 bytes each, big-endian. The program's own key
// is compiled in from the file the build setting ZALTROW_UPGRADE_KEY names.

#include <array>

using UpgradePublicKey = std::array<unsigned char, 64>;

// The maker's key, built into the program.
const UpgradePublicKey& BuiltInUpgradeKey();
