#include "net/UpgradeKey.h"

#include "UpgradeKeyBytes.h"

const UpgradePublicKey& BuiltInUpgradeKey() {
    static constexpr UpgradePublicKey key{ZALTROW_UPGRADE_KEY_BYTES};
    return key;
}
