#include "net/StatementCheck.h"

#include <utility>

#include "net/Base64.h"
#include "net/SignatureVerifier.h"

StatementCheck::StatementCheck(const UpgradePublicKey& key, std::string product, std::string architecture)
    : key_(key), product_(std::move(product)), architecture_(std::move(architecture)) {}

std::optional<UpgradeOffer> StatementCheck::BestOffer(const std::vector<SignedStatement>& statements) const {
    std::optional<UpgradeOffer> best;
    std::vector<std::uint32_t> bestVersion;
    const SignatureVerifier verifier(key_);
    for (const SignedStatement& candidate : statements) {
        std::optional<UpgradeStatement> statement = ParseUpgradeStatement(candidate.text);
        if (!statement || statement->product != product_ || statement->architecture != architecture_) continue;
        const std::optional<std::vector<unsigned char>> signature = DecodeBase64(candidate.signature);
        if (!signature || verifier.VerifyText(candidate.text, *signature) != SignatureVerifier::Result::Valid)
            continue;
        const std::vector<std::uint32_t> version = *ParseDottedVersion(statement->version);
        if (best && CompareVersions(version, bestVersion) <= 0) continue;
        bestVersion = version;
        best = UpgradeOffer{std::move(*statement), candidate.link};
    }
    return best;
}
