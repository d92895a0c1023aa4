#pragma once
// Whether a file's first bytes are those of a Windows program: the "MZ"
// header whose field at 0x3C points at the "PE\0\0" signature. Pure rules
// on bytes.

#include <cstddef>
#include <string_view>

// The PE signature must lie within the bytes looked at, which real
// programs keep near the start.
constexpr std::size_t kExecutableHeadBytes = 64 * 1024;

// `head` is the start of the file (up to kExecutableHeadBytes of it).
bool IsWindowsExecutable(std::string_view head);
