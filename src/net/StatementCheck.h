#pragma once
// Picks the upgrade a page offers this build: among the page's statements,
// those whose signature checks out against the public key, that name this
// product and this build's architecture; of those, the highest version.
// Anything unsigned, tampered with, or meant for another build is passed
// over, so an older statement replayed beside a newer one changes nothing.

#include <optional>
#include <string>
#include <vector>

#include "net/UpgradeKey.h"
#include "net/UpgradePage.h"
#include "net/UpgradeStatement.h"

struct UpgradeOffer {
    UpgradeStatement statement;
    std::string link;  // where the page says its setup is
};

class StatementCheck {
public:
    StatementCheck(const UpgradePublicKey& key, std::string product, std::string architecture);

    std::optional<UpgradeOffer> BestOffer(const std::vector<SignedStatement>& statements) const;

private:
    UpgradePublicKey key_;
    std::string product_;
    std::string architecture_;
};
