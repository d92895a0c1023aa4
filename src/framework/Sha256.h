#pragma once
// The SHA-256 of some bytes, by Windows' CNG (Cng.h): what a step that
// trusts a file only as it was shown compares.

#include <cstdint>
#include <string>
#include <vector>

namespace fw {

// Lowercase hexadecimal, 64 characters; empty when the provider fails.
std::wstring Sha256Hex(const std::vector<std::uint8_t>& bytes);

}  // namespace fw
